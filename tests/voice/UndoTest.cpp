#include <gtest/gtest.h>

#include "support/FileSizeLimit.h"
#include "support/VoiceFixture.h"

namespace {

using Undo = VoiceFixture;

TEST_F(Undo, EmptyVoiceGetsNoSnapshot) {
  EXPECT_FALSE(Current().SaveUndo("Undo : Echo"));
  EXPECT_FALSE(Current().LoadUndo());
  std::string label;
  EXPECT_FALSE(Current().UndoLabel(label));
  EXPECT_EQ(label, "Undo");
  EXPECT_TRUE(Current().SnapshotForEdit("Undo : Echo"));  // nothing due, nothing failed
}

// Five snapshots keep the newest four; four undos walk back to the state
// that the second snapshot saved, and a fifth finds nothing.
TEST_F(Undo, FourSlotsNewestOnTopOldestDropped) {
  KPcmFiles& v = Current();
  for (uint8_t step = 1; step <= 5; ++step) {
    FillMono8(v, std::vector<uint8_t>(step, step));
    v.FLG = step;
    ASSERT_TRUE(v.SaveUndo("Undo : step " + std::to_string(step)));
  }
  FillMono8(v, {99});
  EXPECT_EQ(v.UndoDepth(), 4);
  std::string label;
  for (uint8_t step = 5; step >= 2; --step) {
    ASSERT_TRUE(v.UndoLabel(label));
    EXPECT_EQ(label, "Undo : step " + std::to_string(step));
    ASSERT_TRUE(v.LoadUndo());
    EXPECT_EQ(Bytes(v), std::vector<uint8_t>(step, step));
    EXPECT_EQ(v.FLG, step);
  }
  EXPECT_FALSE(v.LoadUndo());
  EXPECT_EQ(v.END, 2);
  EXPECT_FALSE(v.UndoLabel(label));
}

TEST_F(Undo, RestoresFormatAndMarkersButNeverNames) {
  KPcmFiles& v = Current();
  Fill16(v, 2, {1000, -1000, 2000, -2000});
  v.SampleRate = 22050;
  v.MKL = 1;
  v.MKR = 2;
  v.FLG = 2;
  v.ZiStart = 2;
  ASSERT_TRUE(v.SaveUndo("Undo : Echo"));
  ASSERT_TRUE(v.TranslateFormat(1, 8));  // takes no snapshot
  v.AliasName = "renamed";
  v.FileName = "/renamed.mxv";
  v.SampleRate = 8000;
  v.MKR = v.MKL = v.FLG = v.ZiStart = 1;
  ASSERT_TRUE(v.LoadUndo());
  EXPECT_EQ(v.Channels, 2);
  EXPECT_EQ(v.BitsPerSample, 16);
  EXPECT_EQ(v.SampleRate, 22050);
  EXPECT_EQ(v.MKR, 2);
  EXPECT_EQ(v.FLG, 2);
  EXPECT_EQ(v.ZiStart, 2);
  EXPECT_EQ(Samples16(v), (std::vector<int16_t>{1000, -1000, 2000, -2000}));
  EXPECT_EQ(v.AliasName, "renamed");
  EXPECT_EQ(v.FileName, "/renamed.mxv");
  EXPECT_TRUE(v.OverviewStale);
}

TEST_F(Undo, LongLabelsKeepSixtyThreeCharactersThroughShifts) {
  KPcmFiles& v = Current();
  FillMono8(v, {1});
  std::string label63(63, 'x');
  v.SaveUndo(label63 + "tail");
  for (int i = 0; i < 3; ++i) v.SaveUndo("Undo : Echo");
  for (int i = 0; i < 3; ++i) v.LoadUndo();
  std::string label;
  v.UndoLabel(label);
  EXPECT_EQ(label, label63);
}

TEST_F(Undo, SnapshotsBelongToTheirBank) {
  FillMono8(Voice(2), {2});
  FillMono8(Voice(4), {4});
  Voice(2).SaveUndo("Undo : two");
  FillMono8(Voice(2), {22});
  banks_.SelectBank(4);
  EXPECT_FALSE(Current().LoadUndo());
  banks_.SelectBank(2);
  ASSERT_TRUE(Current().LoadUndo());
  EXPECT_EQ(Bytes(Current()), std::vector<uint8_t>{2});
}

// A full disk while the snapshot is copied: the message names the swap
// folder, the undo store and the voice stay as they were.
TEST_F(Undo, SnapshotThatCannotBeWrittenChangesNothing) {
  KPcmFiles& v = Current();
  FillMono8(v, std::vector<uint8_t>(300000, 7));
  v.SaveUndo("Undo : first");
  {
    FileSizeLimit limit(100000);
    EXPECT_FALSE(v.SnapshotForEdit("Undo : second"));
  }
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find(swap_), std::string::npos);
  EXPECT_EQ(v.UndoDepth(), 1);
  std::string label;
  v.UndoLabel(label);
  EXPECT_EQ(label, "Undo : first");
  EXPECT_EQ(v.END, 300000);
}

}  // namespace
