#pragma once
// The show's files, written out of the Package into a folder of their own. It owns the folder:
// the show and its music ask it for the file of a stored name, and when it goes, every file it
// wrote and the folder go too. While it lives, the folder's owner lock tells other processes
// that the folder is in use. A process that ends by exit() without unwinding (as Xlib ends it
// when the X server goes away) removes the folders of the shows still alive all the same.
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "package/package.h"
#include "platform/file_system.h"
#include "platform/path_rules.h"

namespace slidesaver {

// A file the extraction could not write, and the system's reason.
struct WriteFailure {
  std::string path;
  std::string reason;
};

class ExtractedShow {
 public:
  // The show's files in `folder` (ending with the separator), none written yet, the folder
  // held by `owner` (if any). No folder: nothing was extracted, and nothing is removed.
  explicit ExtractedShow(platform::FileSystem& files, std::string folder = {},
                         std::unique_ptr<platform::OwnerLock> owner = nullptr);
  ~ExtractedShow() { Remove(); }
  ExtractedShow(ExtractedShow&& other) noexcept;
  ExtractedShow& operator=(ExtractedShow&& other) noexcept;
  ExtractedShow(const ExtractedShow&) = delete;
  ExtractedShow& operator=(const ExtractedShow&) = delete;

  const std::string& Folder() const { return folder_; }

  // The path of the file of a name stored in the Package, when the name may be used as a file
  // directly inside the folder (WhyNotAFileName). Other names name no file: they are never
  // written, so the show finds them missing.
  std::optional<std::string> PathOf(const std::string& stored_name) const;

  // Writes the file of a stored name, deleting an older file of that name first. A name
  // without a path writes nothing; a failing write leaves no file and is remembered in
  // Failures(), and the extraction goes on.
  void Write(const std::string& stored_name, const Bytes& bytes);

  // The files that could not be written, in order.
  const std::vector<WriteFailure>& Failures() const { return failures_; }

  // Deletes every file written, then the folder, then gives up its owner lock; every failure
  // is ignored.
  void Remove() noexcept;

 private:
  platform::FileSystem* files_;
  platform::PathRules paths_;
  std::string folder_;
  std::unique_ptr<platform::OwnerLock> owner_;
  std::set<std::string> written_;  // stored names
  std::vector<WriteFailure> failures_;
};

}  // namespace slidesaver
