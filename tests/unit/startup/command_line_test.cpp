// Reading the mode and the /A owner window from the argument part of the command line.
#include <gtest/gtest.h>

#include "startup/command_line.h"

namespace slidesaver {
namespace {

TEST(CommandLineMode, FirstTwoCharactersUpperCased) {
  EXPECT_EQ(CommandLineMode("/s"), "/S");
  EXPECT_EQ(CommandLineMode("/S extra text"), "/S");
  EXPECT_EQ(CommandLineMode("/c:1234"), "/C");
  EXPECT_EQ(CommandLineMode("/"), "/");
  EXPECT_EQ(CommandLineMode(""), "");
  EXPECT_EQ(CommandLineMode("-s"), "-S");
  EXPECT_EQ(CommandLineMode("\xe3\x81\x82"), "\xe3\x81");  // bytes beyond ASCII stay as they are
}

TEST(OwnerWindowArgument, ReadsTheDecimalNumberAfterTheMode) {
  EXPECT_EQ(OwnerWindowArgument("/a 567"), 567);
  EXPECT_EQ(OwnerWindowArgument("/A567"), 567);
  EXPECT_EQ(OwnerWindowArgument("/A   1234   "), 1234);
  EXPECT_EQ(OwnerWindowArgument("/A 12abc"), 12);  // reading stops at the first stranger
  EXPECT_EQ(OwnerWindowArgument("/A 12 34"), 12);  // so does a blank inside
  EXPECT_EQ(OwnerWindowArgument("/A +42"), 42);
  EXPECT_EQ(OwnerWindowArgument("/A -7"), -7);
  EXPECT_EQ(OwnerWindowArgument("/A 1e3"), 1000);
  EXPECT_EQ(OwnerWindowArgument("/A 15D-1"), 2);  // the exponent letter D counts too
  EXPECT_EQ(OwnerWindowArgument("/A 7e"), 7);     // an exponent without digits doesn't
  EXPECT_EQ(OwnerWindowArgument("/A .5e1"), 5);
  EXPECT_EQ(OwnerWindowArgument("/A 2147483647"), 2147483647);
  EXPECT_EQ(OwnerWindowArgument("/A -2147483648"), -2147483647 - 1);
}

TEST(OwnerWindowArgument, RoundsHalvesToEven) {
  EXPECT_EQ(OwnerWindowArgument("/A 2.5"), 2);
  EXPECT_EQ(OwnerWindowArgument("/A 3.5"), 4);
  EXPECT_EQ(OwnerWindowArgument("/A -0.5"), 0);
  EXPECT_EQ(OwnerWindowArgument("/A 566.51"), 567);
}

TEST(OwnerWindowArgument, NoNumberOrOneOutOfRangeGivesZero) {
  for (const char* args :
       {"/A", "/A ", "/Aabc", "/A 0", "/A -", "/A .", "/A &H10", "/A 0x10", "/A 2147483648",
        "/A -2147483649", "/A 99999999999999999999", "/A 1e999", "/A inf", "/A nan"}) {
    EXPECT_EQ(OwnerWindowArgument(args), 0) << args;
  }
}

}  // namespace
}  // namespace slidesaver
