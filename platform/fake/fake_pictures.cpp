#include "platform/fake/fake_pictures.h"

#include "common/run_time_error.h"

namespace slidesaver::fake {

gdi::Bitmap FakePictures::Load(const std::string& path) {
  log_.Add("LoadPicture " + path);
  log_.SetNow(log_.Now() + load_cost_);
  const size_t slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (files_ && !files_->FileExists(path)) throw FileNotFoundError(path);
  for (const std::string& key : {path, name}) {
    if (undecodable_.count(key)) throw InvalidPictureError(path);
    if (auto it = bitmaps_.find(key); it != bitmaps_.end()) return it->second;
  }
  if (files_) throw InvalidPictureError(path);
  throw FileNotFoundError(path);
}

}  // namespace slidesaver::fake
