#include <gtest/gtest.h>

#include "EditFixture.h"
#include "resources/StringTable.h"
#include "support/FileSizeLimit.h"

namespace {

class EditPaste : public EditFixture {
 protected:
  KPcmFiles& Buffer() { return banks_.CopyBuffer(); }
  // A current voice of ten frames 10, 20 .. 100 with FLG at `flg` and a
  // copy buffer of `copy`, both mono 8-bit.
  void Setup(int32_t flg, const std::vector<uint8_t>& copy) {
    FillMono8(Current(), Ramp(10));
    Current().FLG = flg;
    FillMono8(Buffer(), copy);
  }
};

TEST_F(EditPaste, CoverKeepsTheHeadAndDropsWhatFollowed) {
  Setup(3, {200, 210});
  ASSERT_TRUE(Current().PasteByCover());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{10, 20, 200, 210}));
  ExpectMarkers(Current(), 4, 3, 4, 1, 1);
}

TEST_F(EditPaste, CoverOfTheLastFrameKeepsTheLength) {
  Setup(10, {7});
  ASSERT_TRUE(Current().PasteByCover());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{10, 20, 30, 40, 50, 60, 70, 80, 90, 7}));
  ExpectMarkers(Current(), 10, 10, 10, 1, 1);
}

TEST_F(EditPaste, InsertPutsTheBlockAfterTheFlag) {
  Setup(3, {200, 210});
  ASSERT_TRUE(Current().PasteByInsert());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{10, 20, 30, 200, 210, 40, 50, 60, 70, 80, 90, 100}));
  // MKR is F + L - 1, one before the pasted block's end.
  ExpectMarkers(Current(), 12, 3, 4, 1, 1);
}

TEST_F(EditPaste, MixAddsAtTheFlagAndKeepsTheRest) {
  Setup(3, {138, 98});  // values +10 and -30
  ASSERT_TRUE(Current().PasteByMix());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{10, 20, 40, 10, 50, 60, 70, 80, 90, 100}));
  ExpectMarkers(Current(), 10, 3, 4, 1, 1);
}

TEST_F(EditPaste, MixPastTheEndAppendsTheBufferUnchanged) {
  Setup(9, {138, 138, 201, 202});
  ASSERT_TRUE(Current().PasteByMix());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{10, 20, 30, 40, 50, 60, 70, 80, 100, 110, 201, 202}));
  ExpectMarkers(Current(), 12, 9, 12, 1, 1);
}

TEST_F(EditPaste, MixClipsInBothWidths) {
  FillMono8(Current(), {200, 40, 128});
  FillMono8(Buffer(), {200, 40, 128});
  ASSERT_TRUE(Current().PasteByMix());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{255, 0, 128}));

  Fill16(Current(), 2, {30000, -30000, 5, -5});
  Fill16(Buffer(), 2, {30000, -30000, -7, 7});
  ASSERT_TRUE(Current().PasteByMix());
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{32767, -32768, -2, 2}));
}

TEST_F(EditPaste, EmptyCopyBufferWarnsAndChangesNothing) {
  FillMono8(Current(), Ramp(5));
  State before = Capture(Current());
  for (auto paste : {&KPcmFiles::PasteByCover, &KPcmFiles::PasteByInsert, &KPcmFiles::PasteByMix})
    EXPECT_FALSE((Current().*paste)());
  ASSERT_EQ(messages_.size(), 3u);
  EXPECT_EQ(messages_[0], "Warn 001 \n\nYou must run the Copy instruction \nAnd then to do Paste !!!");
  EXPECT_TRUE(Capture(Current()) == before);
  EXPECT_EQ(Current().UndoDepth(), 0);
}

// Every mode pastes into an empty voice by cover, in the buffer's format and
// rate, without a snapshot.
TEST_F(EditPaste, IntoAnEmptyVoiceEveryModeCopiesTheBuffer) {
  for (auto paste : {&KPcmFiles::PasteByCover, &KPcmFiles::PasteByInsert, &KPcmFiles::PasteByMix}) {
    Current().ClearBank();
    Fill16(Buffer(), 2, {1, -1, 2, -2, 3, -3});
    Buffer().SampleRate = 22050;
    ASSERT_TRUE((Current().*paste)());
    EXPECT_EQ(Current().Channels, 2);
    EXPECT_EQ(Current().BitsPerSample, 16);
    EXPECT_EQ(Current().SampleRate, 22050);
    EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{1, -1, 2, -2, 3, -3}));
    ExpectMarkers(Current(), 3, 1, 3, 1, 1);
    EXPECT_EQ(Current().UndoDepth(), 0);
  }
}

TEST_F(EditPaste, ABufferOfAnotherFormatIsConvertedAndItsRateIgnored) {
  Fill16(Current(), 2, {100, -100, 200, -200});
  Current().SampleRate = 8000;
  Current().FLG = 2;
  FillMono8(Buffer(), {255, 0});
  Buffer().SampleRate = 44100;
  ASSERT_TRUE(Current().PasteByInsert());
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{100, -100, 200, -200, 32512, 32512, -32768, -32768}));
  EXPECT_EQ(Current().SampleRate, 8000);

  // Stereo 16-bit into mono 8-bit: the channels are averaged, then scaled.
  FillMono8(Current(), {128, 128});
  Fill16(Buffer(), 2, {1000, -3000});
  ASSERT_TRUE(Current().PasteByMix());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{124, 128}));
}

TEST_F(EditPaste, EachModeUndoesToTheVoiceBefore) {
  const std::pair<bool (KPcmFiles::*)(), const char*> modes[] = {
      {&KPcmFiles::PasteByCover, "Undo : Paste by cover"},
      {&KPcmFiles::PasteByInsert, "Undo : Paste by insert"},
      {&KPcmFiles::PasteByMix, "Undo : Paste by mix"}};
  for (const auto& [paste, label] : modes) {
    Setup(4, {1, 2, 3});
    Current().MKL = 2;
    Current().MKR = 6;
    Current().ZiStart = 3;
    State before = Capture(Current());
    ASSERT_TRUE((Current().*paste)());
    ExpectUndoTo(Current(), before, label);
  }
}

TEST_F(EditPaste, CopyTakesTheMarkedAreaAndTheFormat) {
  EXPECT_FALSE(Current().CopyMarked());
  EXPECT_EQ(Buffer().END, 0);

  Fill16(Current(), 2, {1, 2, 3, 4, 5, 6, 7, 8});
  Current().SampleRate = 11025;
  Mark(Current(), 2, 3, 4);
  State before = Capture(Current());
  ASSERT_TRUE(Current().CopyMarked());
  EXPECT_EQ(Samples16(Buffer()), (std::vector<int16_t>{3, 4, 5, 6}));
  EXPECT_EQ(Buffer().Channels, 2);
  EXPECT_EQ(Buffer().BitsPerSample, 16);
  EXPECT_EQ(Buffer().SampleRate, 11025);
  ExpectMarkers(Buffer(), 2, 1, 2, 1, 1);
  EXPECT_TRUE(Capture(Current()) == before);
  EXPECT_EQ(Current().UndoDepth(), 0);

  // An empty voice keeps the buffer as it was.
  Voice(2).SelectBank();
  EXPECT_FALSE(Current().CopyMarked());
  EXPECT_EQ(Samples16(Buffer()), (std::vector<int16_t>{3, 4, 5, 6}));
}

TEST_F(EditPaste, AResultPastTwoGigabytesIsRefusedBeforeAnything) {
  Fill16(Current(), 2, {1, 2, 3, 4});
  FillMono8(Buffer(), {1, 2, 3});
  Buffer().END = 600'000'000;  // 2.4e9 bytes once stereo 16-bit
  State before = Capture(Current());
  EXPECT_FALSE(Current().PasteByInsert());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], KFormatMessage(msg::kTooLong, "the paste"));
  EXPECT_TRUE(Capture(Current()) == before);
  EXPECT_EQ(Current().UndoDepth(), 0);
}

TEST_F(EditPaste, AFullSwapFolderLeavesNoSnapshotBehind) {
  FillMono8(Current(), std::vector<uint8_t>(60000, 90));
  FillMono8(Buffer(), std::vector<uint8_t>(60000, 30));
  State before = Capture(Current());
  {
    FileSizeLimit limit(100000);
    EXPECT_FALSE(Current().PasteByInsert());
  }
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find(swap_), std::string::npos);
  EXPECT_TRUE(Capture(Current()) == before);
  EXPECT_EQ(Current().UndoDepth(), 0);
}

}  // namespace
