// The desktop's state: the password switch in the registry, the extraction base folder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win_system.h"
#include "platform/win32/windows_api.h"
#include "tests/windows/unit/test_folder.h"

namespace slidesaver::win32 {
namespace {

std::span<const uint8_t> Bytes(const char* text, size_t size) {
  return {reinterpret_cast<const uint8_t*>(text), size};
}

TEST(RegistrySwitchTest, NumbersAndWindows9xStrings) {
  const uint8_t one[4] = {1, 0, 0, 0};
  const uint8_t high[4] = {0, 0, 0, 0x80};
  const uint8_t zero[4] = {};
  EXPECT_TRUE(RegistrySwitchOn(REG_DWORD, one));
  EXPECT_TRUE(RegistrySwitchOn(REG_DWORD, high));
  EXPECT_FALSE(RegistrySwitchOn(REG_DWORD, zero));
  EXPECT_TRUE(RegistrySwitchOn(REG_BINARY, std::span<const uint8_t>(one, 1)));
  EXPECT_TRUE(RegistrySwitchOn(REG_SZ, Bytes("1", 2)));
  // The string "0" is off, though its bytes are not zero.
  EXPECT_FALSE(RegistrySwitchOn(REG_SZ, Bytes("0", 2)));
  EXPECT_FALSE(RegistrySwitchOn(REG_SZ, Bytes("", 1)));
  EXPECT_FALSE(RegistrySwitchOn(REG_SZ, Bytes("no", 3)));
  // A value longer than a 32-bit number is not read as one.
  const uint8_t eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(RegistrySwitchOn(REG_BINARY, eight));
  EXPECT_FALSE(RegistrySwitchOn(REG_MULTI_SZ, Bytes("1\0", 3)));
}

class PasswordSwitchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegDeleteValueA(key_, "ScreenSaveUsePassword");
    RegCloseKey(key_);
  }
  void SetDword(DWORD value) {
    RegSetValueExA(key_, "ScreenSaveUsePassword", 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  void SetString(const char* value) {
    RegSetValueExA(key_, "ScreenSaveUsePassword", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(strlen(value) + 1));
  }
  HKEY key_ = nullptr;
  std::unique_ptr<platform::System> system = MakeWinSystem();
};

TEST_F(PasswordSwitchTest, ReadsTheDesktopValue) {
  RegDeleteValueA(key_, "ScreenSaveUsePassword");
  EXPECT_FALSE(system->ScreenSaverPasswordOn());
  SetDword(1);
  EXPECT_TRUE(system->ScreenSaverPasswordOn());
  SetDword(0);
  EXPECT_FALSE(system->ScreenSaverPasswordOn());
  SetString("1");
  EXPECT_TRUE(system->ScreenSaverPasswordOn());
  SetString("0");
  EXPECT_FALSE(system->ScreenSaverPasswordOn());
  SetString("a value far too long for the switch");
  EXPECT_FALSE(system->ScreenSaverPasswordOn());
}

TEST(ExtractionBaseTest, WindowsDirectoryUnlessItCantBeWritten) {
  EXPECT_EQ(ChooseExtractionBase("C:\\WINDOWS", true, "C:\\TEMP\\"), "C:\\WINDOWS\\");
  EXPECT_EQ(ChooseExtractionBase("C:\\", true, "C:\\TEMP\\"), "C:\\");
  EXPECT_EQ(ChooseExtractionBase("C:\\WINDOWS", false, "C:\\Users\\u\\Temp\\"),
            "C:\\Users\\u\\Temp\\");
  EXPECT_EQ(ChooseExtractionBase("C:\\WINDOWS", false, ""), "C:\\WINDOWS\\");
  EXPECT_EQ(ChooseExtractionBase("", true, "C:\\TEMP\\"), std::nullopt);
}

TEST(ExtractionBaseTest, ProbesWritabilityWithoutLeavingAFile) {
  testing::TestFolder folder;
  EXPECT_TRUE(FolderWritable(folder.path()));
  EXPECT_FALSE(FolderWritable(folder / "missing"));
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((folder / "slidesaver-probe*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  // Under Wine the Windows directory is writable: it is the base.
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(MakeWinSystem()->ExtractionBaseFolder().path, std::string(windows) + "\\");
}

}  // namespace
}  // namespace slidesaver::win32
