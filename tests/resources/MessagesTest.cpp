// The typed message texts fill their table text's %s and %d in order, never
// read an argument as a format, and leave no directive behind.
#include <gtest/gtest.h>

#include "resources/StringTable.h"

namespace {

TEST(Messages, FillTheirTextsInOrderAndLeaveNoDirectiveBehind) {
  EXPECT_EQ(msg::NotValidFile("/v/a%s.wav", "WAV"),
            "Error 001 \n\nThe file : /v/a%s.wav \nis not a valid WAV file !!!");
  EXPECT_EQ(
      msg::AlreadyInBank("/v/b.mxv", 12),
      "Error 002 \n\nThe file : /v/b.mxv \nWas exist already on Melotrix BankID = 12\nSystem can not reload it !!!");
  EXPECT_EQ(msg::CannotCreate(""), "Error 005 \n\nThe file :  \nSystem can not create it !!!");
  EXPECT_EQ(msg::VocBlockType("x%d.voc", -8),
            "VOC error \n\nThe file : x%d.voc \nbegins with a block of type -8 \n"
            "System can only load the block types 1 and 9 !!!");
  EXPECT_EQ(
      msg::SwapFolder("/s", "disk full"),
      "Swap file error \n\nThe swap folder : /s \ncan not hold the samples (disk full) \nNothing was changed !!!");
  for (const std::string& text : {msg::NoDataChunk("p"), msg::CompressedWav("p"), msg::TooLong("o"),
                                  msg::VocPacking("p", 3), msg::VocTooLong("p")}) {
    EXPECT_EQ(text.find_first_of('%'), std::string::npos) << text;
    EXPECT_FALSE(text.empty());
  }
  EXPECT_STREQ(KLoadMessageText(0x1234), "");
}

}  // namespace
