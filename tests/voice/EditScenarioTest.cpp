#include <gtest/gtest.h>

#include "EditFixture.h"

namespace {

using EditScenario = EditFixture;

// Copy in one bank, paste by each mode into another, then undo back.
TEST_F(EditScenario, CopyInOneBankPasteByEachModeInAnotherAndUndoBack) {
  banks_.SelectBank(2);
  Fill16(Current(), 2, {1, -1, 2, -2, 3, -3, 4, -4, 5, -5});
  Mark(Current(), 2, 3, 1);
  ASSERT_TRUE(Current().CopyMarked());

  banks_.SelectBank(3);
  Fill16(Current(), 2, {100, 100, 200, 200, 300, 300});
  Mark(Current(), 1, 3, 2);
  const State original = Capture(Current());
  ASSERT_TRUE(Current().PasteByInsert());
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{100, 100, 200, 200, 2, -2, 3, -3, 300, 300}));
  Current().FLG = 5;
  ASSERT_TRUE(Current().PasteByMix());
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{100, 100, 200, 200, 2, -2, 3, -3, 302, 298, 3, -3}));
  Current().FLG = 1;
  ASSERT_TRUE(Current().PasteByCover());
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{2, -2, 3, -3}));

  // Bank 2 keeps its own voice and no snapshot of the edits in bank 3.
  EXPECT_EQ(Voice(2).END, 5);
  EXPECT_EQ(Voice(2).UndoDepth(), 0);
  ASSERT_EQ(Current().UndoDepth(), 3);
  std::string label;
  for (const char* expected : {"Undo : Paste by cover", "Undo : Paste by mix", "Undo : Paste by insert"}) {
    ASSERT_TRUE(Current().UndoLabel(label));
    EXPECT_EQ(label, expected);
    ASSERT_TRUE(Current().LoadUndo());
  }
  EXPECT_TRUE(Capture(Current()) == original);
  EXPECT_FALSE(Current().LoadUndo());
}

TEST_F(EditScenario, FiveEditsAndFourUndosGiveTheStateAfterTheFirst) {
  FillMono8(Current(), std::vector<uint8_t>(40, 200));
  Mark(Current(), 1, 30, 10);
  ASSERT_TRUE(Current().InsertMute(4));
  Mark(Current(), 1, 30, 10);
  const State afterFirst = Capture(Current());
  ASSERT_TRUE(Current().FadeIn());
  ASSERT_TRUE(Current().MathAmplifier(150));
  ASSERT_TRUE(Current().Echo(100, 50));
  ASSERT_TRUE(Current().CutUnmark());
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(Current().LoadUndo());
  EXPECT_TRUE(Capture(Current()) == afterFirst);
  EXPECT_FALSE(Current().LoadUndo());
}

TEST_F(EditScenario, AMissingSwapFolderChangesNothing) {
  FillMono8(Current(), Ramp(20));
  FillMono8(banks_.CopyBuffer(), {1, 2});
  FillMono8(Voice(2), {3, 4});
  const State before = Capture(Current());
  std::filesystem::path moved = swap_ + ".away";
  std::filesystem::rename(swap_, moved);
  for (auto op : {&KPcmFiles::PasteByInsert, &KPcmFiles::PasteByMix, &KPcmFiles::CutMarked, &KPcmFiles::MuteMarked,
                  &KPcmFiles::FadeOut, &KPcmFiles::SetEndAtFlg})
    EXPECT_FALSE((Current().*op)());
  EXPECT_FALSE(Current().Echo(280, 60));
  EXPECT_FALSE(Current().InsertMute(5));
  EXPECT_FALSE(Current().MixBanks({1, 2, 0, 0}));
  EXPECT_FALSE(Current().CopyMarked());
  std::filesystem::rename(moved, swap_);
  EXPECT_EQ(messages_.size(), 10u);
  EXPECT_TRUE(Capture(Current()) == before);
  EXPECT_EQ(Current().UndoDepth(), 0);
  EXPECT_EQ(Bytes(banks_.CopyBuffer()), (std::vector<uint8_t>{1, 2}));
}

// A window stand-in that records what the operations show.
class RecordingUi : public KUiHooks {
 public:
  bool ProgressVisible() const override { return true; }
  void ProgressTitle(const std::string& title) override { titles.push_back(title); }
  void ProgressBar(int percent) override { bars.push_back(percent); }
  void PushCursor(KCursorRole role) override {
    cursors.push_back(role);
    ++depth;
  }
  void PopCursor() override { --depth; }
  std::vector<std::string> titles;
  std::vector<int> bars;
  std::vector<KCursorRole> cursors;
  int depth = 0;
};

TEST_F(EditScenario, LongOperationsShowTitleBarAndBusyCursor) {
  RecordingUi ui;
  KBankSet set(swap_, KHeadlessVoice::Factory(nullptr), &ui);
  set.SelectBank(1);
  KPcmFiles& v = *set.CurrentVoice;
  FillMono8(v, std::vector<uint8_t>(10000, 150));
  ASSERT_TRUE(v.InsertMute(10000));
  // Snapshot first, then the operation's own title; the bar steps every
  // 4096 frames of the 20000.
  EXPECT_EQ(ui.titles, (std::vector<std::string>{"Save Undo", "Insert mute"}));
  EXPECT_EQ(std::vector<int>(ui.bars.end() - 4, ui.bars.end()), (std::vector<int>{20, 40, 61, 81}));
  EXPECT_EQ(ui.depth, 0);
  EXPECT_EQ(ui.cursors.back(), KCursorRole::Busy);

  ui.titles.clear();
  for (auto op : {&KPcmFiles::FadeOut, &KPcmFiles::MuteUnmark, &KPcmFiles::CutMarked}) ASSERT_TRUE((v.*op)());
  ASSERT_TRUE(v.Echo(100, 50));
  EXPECT_EQ(ui.titles, (std::vector<std::string>{"Save Undo", "Fade-out", "Save Undo", "Mute unmark area",
                                                 "Save Undo", "Cut marked area", "Save Undo", "Echo"}));
}

}  // namespace
