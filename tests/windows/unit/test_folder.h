#pragma once
// A fresh folder under the Windows temporary folder for one test, removed with its files.
#include <string>

namespace slidesaver::win32::testing {

class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  const std::string& path() const { return path_; }  // ends with '\'
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

}  // namespace slidesaver::win32::testing
