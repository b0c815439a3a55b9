#pragma once
// The picture loader of the test platform: bitmaps held in memory, keyed by file name.
#include <map>
#include <set>
#include <string>

#include "platform/fake/fake_event_loop.h"
#include "platform/file_system.h"
#include "platform/picture_loader.h"

namespace slidesaver::fake {

class FakePictures : public platform::PictureLoader {
 public:
  // With files, a path whose file doesn't exist is missing and one without a bitmap is
  // undecodable; without files, a name without a bitmap is missing.
  explicit FakePictures(FakeCallLog& log, platform::FileSystem* files = nullptr)
      : log_(log), files_(files) {}

  // Logged as "LoadPicture <path>". Looks the path up whole, then by its last component.
  gdi::Bitmap Load(const std::string& path) override;

  void Add(const std::string& name, gdi::Bitmap bitmap) { bitmaps_[name] = std::move(bitmap); }
  void AddUndecodable(const std::string& name) { undecodable_.insert(name); }
  void SetFileSystem(platform::FileSystem* files) { files_ = files; }
  // Decoding takes this many virtual milliseconds (the clock moves on by it in every Load).
  void SetLoadCost(int32_t ms) { load_cost_ = ms; }

 private:
  FakeCallLog& log_;
  platform::FileSystem* files_;
  std::map<std::string, gdi::Bitmap> bitmaps_;
  std::set<std::string> undecodable_;
  int32_t load_cost_ = 0;
};

}  // namespace slidesaver::fake
