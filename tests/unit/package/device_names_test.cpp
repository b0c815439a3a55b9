// The one rule for Windows device names, and extraction, which never writes one, on either
// system's path rules.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "package/device_names.h"
#include "package/extracted_show.h"
#include "platform/fake/fake_file_system.h"

namespace slidesaver {
namespace {

TEST(WindowsDeviceNames, AnyCaseAnyExtensionBlanksBeforeIt) {
  const std::vector<std::string> devices = {"CON",          "con",    "Con.txt",     "CON .txt",
                                            "con  .tar.gz", "aux.",   "AUX ",        "PRN",
                                            "nul.jpg",      "COM1",   "com9.wav",    "LPT1",
                                            "lpt9.mid",     "CONIN$", "conout$.txt", "NUL:stream"};
  const std::vector<std::string> files = {
      "CONSOLE",  "con1",  "COM0",  "com10",   "LPT",
      "lpt0.jpg", "xcon",  " con",  "c.on",    "icon.jpg",
      "nul_.wav", "conin", "a.con", "COM\xB9", "\x83\x52\x83\x93"};
  fake::FakeFileSystem posix_files, cp932_files;
  cp932_files.UseCodePage932();
  const ExtractedShow posix(posix_files, "/t/"), cp932(cp932_files, "C:\\t\\");
  for (const auto& [names, device] : {std::pair{&devices, true}, std::pair{&files, false}}) {
    for (const std::string& name : *names) {
      EXPECT_EQ(IsWindowsDeviceName(name), device) << name;
      // Extraction never writes one, whichever system it runs on.
      EXPECT_EQ(posix.PathOf(name).has_value(), !device) << name;
      if (name.find(':') == std::string::npos) {
        EXPECT_EQ(cp932.PathOf(name).has_value(), !device) << name;
      }
    }
  }
}

}  // namespace
}  // namespace slidesaver
