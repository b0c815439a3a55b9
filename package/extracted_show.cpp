#include "package/extracted_show.h"

#include <utility>

#include "common/resume_next.h"
#include "package/stored_file_name.h"

namespace slidesaver {

ExtractedShow::ExtractedShow(platform::FileSystem& files, std::string folder,
                             std::unique_ptr<platform::OwnerLock> owner)
    : files_(&files),
      paths_(files.GetPathRules()),
      folder_(std::move(folder)),
      owner_(std::move(owner)) {}

ExtractedShow::ExtractedShow(ExtractedShow&& other) noexcept
    : files_(other.files_),
      paths_(other.paths_),
      folder_(std::exchange(other.folder_, {})),
      owner_(std::move(other.owner_)),
      written_(std::exchange(other.written_, {})),
      failures_(std::exchange(other.failures_, {})) {}

ExtractedShow& ExtractedShow::operator=(ExtractedShow&& other) noexcept {
  if (this != &other) {
    Remove();
    files_ = other.files_;
    paths_ = other.paths_;
    folder_ = std::exchange(other.folder_, {});
    owner_ = std::move(other.owner_);
    written_ = std::exchange(other.written_, {});
    failures_ = std::exchange(other.failures_, {});
  }
  return *this;
}

std::optional<std::string> ExtractedShow::PathOf(const std::string& stored_name) const {
  if (WhyNotAFileName(stored_name, paths_) != nullptr) return std::nullopt;
  return folder_ + stored_name;
}

void ExtractedShow::Write(const std::string& stored_name, const Bytes& bytes) {
  const std::optional<std::string> path = PathOf(stored_name);
  if (!path) return;
  written_.insert(stored_name);
  // A write that throws is one more failure of this file, told with the others.
  const auto note_failure = [&](const std::string& problem) {
    failures_.push_back({*path, problem});
  };
  ResumeNext("writing a file of the show", note_failure, [&] {
    if (files_->FileExists(*path)) files_->DeleteFile(*path);
    const std::string problem =
        bytes.empty() ? files_->WriteFile(*path, {})
                      : files_->WriteFileFrom(*path, *bytes.Source(), bytes.Offset(), bytes.size());
    // A later file of the same name replaces what an earlier one left, a failure included.
    std::erase_if(failures_, [&](const WriteFailure& failure) { return failure.path == *path; });
    if (!problem.empty()) failures_.push_back({*path, problem});
  });
}

void ExtractedShow::Remove() noexcept {
  if (folder_.empty()) return;
  for (const std::string& name : written_) {
    try {
      const std::string path = folder_ + name;
      if (files_->FileExists(path)) files_->DeleteFile(path);
    } catch (...) {
    }
  }
  try {
    files_->RemoveFolder(folder_);
  } catch (...) {
  }
  owner_.reset();  // only once the folder is gone: a free lock marks a folder left over
  written_.clear();
  folder_.clear();
}

}  // namespace slidesaver
