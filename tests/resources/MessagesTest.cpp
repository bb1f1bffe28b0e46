// The typed message texts fill their table text's %s and %d in order, never read an argument as a format, and leave no
// directive behind.
#include <gtest/gtest.h>

#include "resources/StringTable.h"

TEST(Messages, FillTheirTextsInOrderAndLeaveNoDirectiveBehind) {
  EXPECT_EQ(msg::NotValidFile("/v/a%s.wav", "WAV"),
            "Error 001 \n\nThe file : /v/a%s.wav \nis not a valid WAV file !!!");
  EXPECT_EQ(msg::VocBlockType("x%d.voc", -8),
            "VOC error \n\nThe file : x%d.voc \nbegins with a block of type -8 \n"
            "System can only load the block types 1 and 9 !!!");
  for (const std::string& text :
       {msg::AlreadyInBank("p", 12), msg::NoDataChunk("p"), msg::CompressedWav("p"), msg::TooLong("o"),
        msg::VocPacking("p", 3), msg::VocTooLong("p"), msg::SwapFolder("/s", "disk full"), msg::CannotCreate("")})
    EXPECT_EQ(text.find_first_of('%'), std::string::npos) << text;
}
