// Paths as ANSI byte strings, and texts for the W functions.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win_text.h"
#include "platform/win32/windows_api.h"

namespace slidesaver::win32 {
namespace {

constexpr unsigned kShiftJis = 932;

TEST(PathSeparatorTest, TrailBytesOfDoubleByteCharactersAreNotSeparators) {
  // "C:\表\a" and "C:\ソフト\表" in Shift_JIS: 表 is 0x95 0x5C.
  const std::string hyo = "\x95\x5C";
  EXPECT_EQ(LastPathSeparator("C:\\" + hyo + "\\a", kShiftJis), 5u);
  EXPECT_EQ(LastPathSeparator("C:\\dir\\" + hyo, kShiftJis), 6u);
  EXPECT_EQ(LastPathSeparator("C:\\dir\\" + hyo, 1252), 8u);  // single-byte: a separator
  EXPECT_EQ(LastPathSeparator("name", kShiftJis), std::string::npos);
  // A lead byte at the very end has no trail byte to swallow.
  EXPECT_EQ(LastPathSeparator("a\\\x95", kShiftJis), 1u);

  EXPECT_EQ(WithTrailingBackslash("C:\\dir\\" + hyo, kShiftJis), "C:\\dir\\" + hyo + "\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\", kShiftJis), "C:\\");
  EXPECT_EQ(WithTrailingBackslash("C:\\WINDOWS"), "C:\\WINDOWS\\");
}

TEST(TextTest, Utf8RoundTripsThroughUtf16) {
  const std::string text = "設定項目はありません";
  const std::wstring wide = WideFromUtf8(text);
  EXPECT_EQ(wide, L"\u8a2d\u5b9a\u9805\u76ee\u306f\u3042\u308a\u307e\u305b\u3093");
  EXPECT_EQ(Utf8FromWide(wide), text);
  EXPECT_EQ(WideFromUtf8(""), L"");
  EXPECT_EQ(WideFromUtf8("OK\r\n\xf0\x9f\x98\x80"), L"OK\r\n\U0001F600");
}

TEST(TextTest, AnsiFileNamesInsideUtf8MessagesStayReadable) {
  // An error message quotes the missing file C:\temp1\表 (Shift_JIS 0x95 0x5C).
  const std::string message = "不明\r\nC:\\temp1\\\x95\x5C\r\nslidesaver";
  EXPECT_EQ(WideFromUtf8(message, kShiftJis), L"\u4e0d\u660e\r\nC:\\temp1\\\u8868\r\nslidesaver");
  // On a single-byte code page every byte is a character of its own.
  EXPECT_EQ(WideFromUtf8("caf\xe9 \xe9t\xe9", 1252), L"caf\u00e9 \u00e9t\u00e9");
  // Not UTF-8: overlong forms and surrogates.
  EXPECT_EQ(WideFromUtf8("\xc0\xaf", 1252), L"\u00c0\u00af");
  EXPECT_EQ(WideFromUtf8("\xed\xa0\x80", 1252), L"\u00ed\u00a0\u20ac");
  EXPECT_FALSE(SystemErrorText(ERROR_FILE_NOT_FOUND).empty());
}

TEST(ProcessTest, ProgramFileAndInstanceClaim) {
  auto process = MakeWinProcess();
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string full = path;
  EXPECT_EQ(process->ProgramFolder() + process->ProgramBaseName() + ".exe", full);
  EXPECT_EQ(process->ProgramFolder().back(), '\\');
  // The first caller in this process holds the claim; a second claim on the same name, as
  // another process would make it, finds the first.
  EXPECT_FALSE(process->AnotherInstanceRunning());
  EXPECT_FALSE(process->AnotherInstanceRunning());
  auto second = MakeWinProcess();
  EXPECT_TRUE(second->AnotherInstanceRunning());
}

TEST(FileSystemTest, PathRulesAreTheBackslashAndTheAnsiCodePagesLeadBytes) {
  const platform::PathRules paths = MakeWinFileSystem()->GetPathRules();
  EXPECT_EQ(paths.separator, '\\');
  for (unsigned byte = 0; byte < 256; ++byte)
    EXPECT_EQ(paths.IsLeadByte(static_cast<uint8_t>(byte)), IsDBCSLeadByte(byte) != 0) << byte;
  EXPECT_FALSE(paths.IsLeadByte('\\'));
  if (GetACP() == kShiftJis) {
    std::printf("code page 932\n");       // the Wine tests look for this line
    EXPECT_TRUE(paths.IsLeadByte(0x95));  // 表 is 0x95 0x5C
    EXPECT_TRUE(paths.IsLeadByte(0x83));  // ソ is 0x83 0x5C
    EXPECT_FALSE(paths.IsLeadByte('A'));
  }
}

}  // namespace
}  // namespace slidesaver::win32
