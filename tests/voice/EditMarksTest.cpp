#include <gtest/gtest.h>

#include "EditFixture.h"
#include "resources/StringTable.h"

namespace {

using EditMarks = EditFixture;

TEST_F(EditMarks, MenuCommandsSetTheMarkers) {
  FillMono8(Current(), Ramp(50));
  Mark(Current(), 10, 20, 30);
  Current().MarkAll();
  ExpectMarkers(Current(), 50, 1, 50, 30, 1);
  Mark(Current(), 10, 20, 30);
  Current().ResetMKL();
  Current().ResetFLG();
  ExpectMarkers(Current(), 50, 1, 20, 1, 1);
  Current().ResetMKR();
  EXPECT_EQ(Current().MKR, 50);
  EXPECT_EQ(Current().UndoDepth(), 0);
}

TEST_F(EditMarks, AutoMarkFromTheFlag) {
  FillMono8(Current(), std::vector<uint8_t>(1000, 1));
  Current().FLG = 100;
  ASSERT_TRUE(Current().AutoMark(0x100));
  EXPECT_EQ(Current().MKL, 100);
  EXPECT_EQ(Current().MKR, 355);
  Current().FLG = 900;
  ASSERT_TRUE(Current().AutoMark(0x100));
  EXPECT_EQ(Current().MKL, 900);
  EXPECT_EQ(Current().MKR, 1000);
  ASSERT_TRUE(Current().AutoMark(INT32_MAX));
  EXPECT_EQ(Current().MKR, 1000);
}

TEST_F(EditMarks, AutoMarkRefusesLengthsBelowOne) {
  FillMono8(Current(), std::vector<uint8_t>(100, 1));
  Mark(Current(), 5, 6, 50);
  EXPECT_FALSE(Current().AutoMark(0));
  EXPECT_FALSE(Current().AutoMark(-20));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0], KLoadMessageText(msg::kAutoMarkLength));
  ExpectMarkers(Current(), 100, 5, 6, 50, 1);
}

TEST_F(EditMarks, GotoLeavesThirtyTwoFramesOfLeadIn) {
  FillMono8(Current(), Ramp(20));
  Current().GotoEnd();
  EXPECT_EQ(Current().ZiStart, 1);
  FillMono8(Current(), std::vector<uint8_t>(1000, 1));
  Mark(Current(), 100, 700, 33);
  Current().GotoEnd();
  EXPECT_EQ(Current().ZiStart, 968);
  Current().GotoMkl();
  EXPECT_EQ(Current().ZiStart, 68);
  Current().GotoMkr();
  EXPECT_EQ(Current().ZiStart, 668);
  Current().GotoFlg();
  EXPECT_EQ(Current().ZiStart, 1);
  Current().GotoEnd();
  Current().GotoHead();
  EXPECT_EQ(Current().ZiStart, 1);
  ExpectMarkers(Current(), 1000, 100, 700, 33, 1);
}

TEST_F(EditMarks, NothingHappensOnAnEmptyVoice) {
  KPcmFiles& v = Current();
  for (auto command : {&KPcmFiles::MarkAll, &KPcmFiles::ResetMKL, &KPcmFiles::ResetMKR, &KPcmFiles::ResetFLG,
                       &KPcmFiles::GotoHead, &KPcmFiles::GotoEnd, &KPcmFiles::GotoFlg, &KPcmFiles::GotoMkl,
                       &KPcmFiles::GotoMkr})
    (v.*command)();
  v.SetMklAt(5);
  v.SetMkrAt(5);
  v.SetFlgAt(5);
  EXPECT_FALSE(v.AutoMark(10));
  EXPECT_TRUE(messages_.empty());
  ExpectMarkers(v, 0, 0, 0, 0, 0);
}

TEST_F(EditMarks, ClicksClampAndExchangeCrossedMarkers) {
  FillMono8(Current(), Ramp(100, 1));
  Mark(Current(), 10, 20, 15);
  Current().SetMklAt(30);  // right of MKR: the old MKR becomes MKL
  EXPECT_EQ(Current().MKL, 20);
  EXPECT_EQ(Current().MKR, 30);
  Current().SetMkrAt(5);  // left of MKL: the old MKL becomes MKR
  EXPECT_EQ(Current().MKL, 5);
  EXPECT_EQ(Current().MKR, 20);
  Current().SetMkrAt(500);
  EXPECT_EQ(Current().MKR, 100);
  Current().SetMklAt(-7);
  EXPECT_EQ(Current().MKL, 1);
  Current().SetFlgAt(0);
  EXPECT_EQ(Current().FLG, 1);
  Current().SetFlgAt(101);
  EXPECT_EQ(Current().FLG, 100);
  EXPECT_EQ(Current().UndoDepth(), 0);
}

}  // namespace
