// Where each edit puts frames and markers, and paste across formats and banks.
#include <climits>

#include "EditFixture.h"

using EditPositions = EditFixture;

// Ten frames 10, 20 .. 100 marked 3..5, FLG = F, a copy buffer of two frames
// (values 72 and 82): pastes give MKL = F, MKR = F + L - 1.
TEST_F(EditPositions, WorkedValues) {
  const std::tuple<Run, int32_t, std::vector<uint8_t>, Marks> rows[] = {
      {&KPcmFiles::PasteByCover, 3, {10, 20, 200, 210}, {4, 3, 4, 1, 1}},
      {&KPcmFiles::PasteByCover, 10, {10, 20, 30, 40, 50, 60, 70, 80, 90, 200, 210}, {11, 10, 11, 1, 1}},
      {&KPcmFiles::PasteByInsert, 3, {10, 20, 30, 200, 210, 40, 50, 60, 70, 80, 90, 100}, {12, 3, 4, 1, 1}},
      {&KPcmFiles::PasteByMix, 3, {10, 20, 102, 122, 50, 60, 70, 80, 90, 100}, {10, 3, 4, 1, 1}},
      // Past the END the buffer is appended as it is.
      {&KPcmFiles::PasteByMix, 10, {10, 20, 30, 40, 50, 60, 70, 80, 90, 172, 210}, {11, 10, 11, 1, 1}},
      {&KPcmFiles::CutMarked, 8, {10, 20, 60, 70, 80, 90, 100}, {7, 1, 7, 1, 1}},
      {&KPcmFiles::CutUnmark, 8, {30, 40, 50}, {3, 1, 3, 1, 1}},
      {&KPcmFiles::MuteMarked, 8, {10, 20, 128, 128, 128, 60, 70, 80, 90, 100}, {10, 3, 5, 8, 1}},
      {&KPcmFiles::MuteUnmark, 8, {128, 128, 30, 40, 50, 128, 128, 128, 128, 128}, {10, 3, 5, 8, 1}},
      // END moves to FLG only with more than two frames behind it.
      {&KPcmFiles::SetEndAtFlg, 8, Ramp(10), {10, 3, 5, 8, 1}},
      {&KPcmFiles::SetEndAtFlg, 7, Ramp(7), {7, 1, 7, 1, 1}},
      {[](KPcmFiles& v) { return v.InsertMute(3); },
       8,
       {10, 20, 30, 40, 50, 60, 70, 80, 128, 128, 128, 90, 100},
       {13, 8, 10, 1, 1}},
      // MKL = FLG, MKR = FLG + count - 1 up to END.
      {[](KPcmFiles& v) { return v.AutoMark(2); }, 8, Ramp(10), {10, 8, 9, 8, 1}},
      {[](KPcmFiles& v) { return v.AutoMark(INT32_MAX); }, 8, Ramp(10), {10, 8, 10, 8, 1}},
  };
  FillMono8(Buffer(), {200, 210});
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    const auto& [run, flg, result, marks] = row;
    FillMono8(Current(), Ramp(10));
    Mark(Current(), 3, 5, flg);
    ASSERT_TRUE(run(Current()));
    EXPECT_EQ(Bytes(Current()), result);
    EXPECT_EQ(MarksOf(Current()), marks);
  }
  // Cutting the whole voice leaves it empty with the smallest store.
  Mark(Current(), 1, Current().END, 1);
  ASSERT_TRUE(Current().CutMarked());
  EXPECT_EQ(Capture(Current()), Whole(1, 8, 16000, {}));
  EXPECT_EQ(Current().Storage->Size(), 16);
}

// An empty copy buffer is refused with a warning; one of another format is
// converted to the voice's, and its rate is never applied.
TEST_F(EditPositions, TheCopyBuffersContents) {
  Fill16(Current(), 2, {100, -100, 200, -200});
  Current().SampleRate = 8000;
  Current().FLG = 2;
  const State before = Capture(Current());
  for (Run paste : {&KPcmFiles::PasteByCover, &KPcmFiles::PasteByInsert, &KPcmFiles::PasteByMix})
    EXPECT_FALSE(paste(Current()));
  EXPECT_EQ(messages_,
            std::vector<std::string>(3, "Warn 001 \n\nYou must run the Copy instruction \nAnd then to do Paste !!!"));
  EXPECT_EQ(Capture(Current()), before);
  FillMono8(Buffer(), {255, 0});
  Buffer().SampleRate = 44100;
  ASSERT_TRUE(Current().PasteByInsert());
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{100, -100, 200, -200, 32512, 32512, -32768, -32768}));
  EXPECT_EQ(Current().SampleRate, 8000);
}

TEST_F(EditPositions, CopyInOneBankPasteByEachModeInAnotherAndUndoBack) {
  banks_.SelectBank(2);
  FillMono8(Current(), Ramp(5));
  Current().SampleRate = 11025;
  Mark(Current(), 2, 3, 1);
  const State bank2 = Capture(Current());
  ASSERT_TRUE(Current().CopyMarked());
  EXPECT_EQ(Capture(Buffer()), Whole(1, 8, 11025, {20, 30}));
  banks_.SelectBank(3);
  FillMono8(Current(), {100, 200, 150});
  Mark(Current(), 1, 3, 2);
  const State original = Capture(Current());
  ASSERT_TRUE(Current().PasteByInsert());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{100, 200, 20, 30, 150}));
  Current().FLG = 5;
  ASSERT_TRUE(Current().PasteByMix());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{100, 200, 20, 30, 42, 30}));
  Current().FLG = 1;
  ASSERT_TRUE(Current().PasteByCover());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{20, 30}));
  EXPECT_EQ(Capture(Voice(2)), bank2);
  for (int k = 0; k < 3; ++k) ASSERT_TRUE(Current().LoadUndo());
  EXPECT_EQ(Capture(Current()), original);
}
