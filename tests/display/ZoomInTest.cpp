#include <gtest/gtest.h>

#include <tuple>

#include "BoxFixture.h"
#include "display/ZoomInBox.h"

namespace {

using S = KColourSlot;
using Kind = RecordingCanvas::Kind;
using Box = std::array<int, 4>;
using Cells = std::vector<uint32_t>;

class ZoomInTest : public BoxFixture {
 protected:
  // A voice of `values` (channel samples in frame order).
  KVoiceFacts Load(int32_t channels, int32_t bits, const std::vector<int>& values) {
    store_ = Store(bits, values);
    return Voice(channels, bits, int32_t(values.size()) / channels);
  }
  void Fill(const KVoiceFacts& voice) { EXPECT_TRUE(window_.Fill(*store_, voice)); }
  KZoomInPainter Painter() { return KZoomInPainter(canvas_, MakeZoomGeometry(641, 292), colours_, options_); }
  void Draw(const KVoiceFacts& voice) {
    Fill(voice);
    canvas_.Calls.clear();
    Painter().Redraw(window_, voice);
  }
  // The columns of the one-pixel dashed lines across the interior.
  std::vector<int> CursorColumns() const {
    std::vector<int> columns;
    for (const auto& fill : canvas_.Of(Kind::Tiled))
      if (fill.B == 17 && fill.D == 272 && fill.C == fill.A + 1) columns.push_back(fill.A);
    return columns;
  }
  std::vector<Box> Lines(S slot) const { return canvas_.LinesIn(C(slot)); }

  std::unique_ptr<KPcmMMap> store_;
  KZoomWindow window_;
  RecordingCanvas canvas_{641, 292};
};

TEST_F(ZoomInTest, FillKeepsRawSamplesAndMarkerFlags) {
  std::vector<int> values(100);
  for (int i = 0; i < 100; ++i) values[size_t(i)] = i - 50;
  KVoiceFacts voice = Load(1, 8, values);
  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::tuple(10, 20, 15);
  Fill(voice);
  const auto &c = window_.ZiColumns[0], &c2 = window_.ZiColumns[1];
  EXPECT_EQ(Cells({uint32_t(window_.ZiCount), c[0], c[8], c[9], c[14], c[19], c[20], c[99], c2[9]}),
            Cells({100, 128 - 50, 128 - 42, (128 - 41) | kZiMkl | kZiMarked, (128 - 36) | kZiFlg | kZiMarked,
                   (128 - 31) | kZiMkr | kZiMarked, 128 - 30, (128 + 49) | kZiEnd, 0}));
  voice.ZiStart = 90;
  Fill(voice);
  EXPECT_EQ(Cells({uint32_t(window_.ZiCount), c[0], c[11]}), Cells({11, 128 + 39, 0}));  // cleared past the count
  voice.ZiStart = 0;                                                                     // read from the first frame
  Fill(voice);
  EXPECT_EQ(c[0], 128u - 50u);
  // Stereo 16-bit: both channels as 16-bit patterns, the same flags on both.
  voice = Load(2, 16, {-2, 300, 32767, -32768, 5, 6});
  voice.MKL = voice.MKR = 2;
  Fill(voice);
  const uint32_t both = kZiMkl | kZiMkr | kZiMarked;
  EXPECT_EQ(Cells({uint32_t(window_.ZiCount), c[0], c2[0], c[1], c2[1], c2[2]}),
            Cells({3, 0xFFFE, 300, 0x7FFF | both, 0x8000 | both, 6 | kZiEnd}));
}

TEST_F(ZoomInTest, FillLimitsAndFallbacks) {
  KVoiceFacts voice = Load(1, 16, std::vector<int>(1000, 7));
  Fill(voice);
  EXPECT_EQ(window_.ZiCount, 272);
  std::vector<uint8_t*> taken;  // no view free: the cursor serves
  for (int i = 0; i < KPcmMMap::kMaxViews; ++i) taken.push_back(store_->MapView(0, 16));
  window_ = KZoomWindow{};
  voice.ZiStart = 800;
  Fill(voice);
  EXPECT_EQ(Cells({uint32_t(window_.ZiCount), window_.ZiColumns[0][200]}), Cells({201, 7 | kZiEnd}));
  for (uint8_t* v : taken) store_->UnmapView(v);
  voice = Load(1, 8, std::vector<int>(100, 20));  // frames the store lacks read as silence
  std::tie(voice.END, voice.ZiStart) = std::tuple(150, 95);
  Fill(voice);
  EXPECT_EQ(Cells({uint32_t(window_.ZiCount), window_.ZiColumns[0][5], window_.ZiColumns[0][6]}),
            Cells({56, 148, 128}));
  voice.END = 1;
  Fill(voice);
  EXPECT_EQ(window_.ZiCount, 0);
  voice.BitsPerSample = 24;
  EXPECT_FALSE(window_.Fill(*store_, voice));
}

TEST_F(ZoomInTest, SampleLevelsAndRows) {
  // 16-bit cells: trunc(s / 256) + 128, the flags ignored; 8-bit cells: the byte.
  std::vector<int> levels;
  for (uint32_t cell : {0x8000u, 0xFF00u, 0xFF01u, 0xFFFFu, 255u, 256u, 0x7FFFu | kZiMarked | kZiEnd})
    levels.push_back(ZiLevel(cell, 16));
  EXPECT_EQ(levels, std::vector<int>({0, 127, 128, 128, 128, 129, 255}));
  EXPECT_EQ(ZiLevel(0x80 | kZiMkl, 8), 128);
  // -256 is drawn on row 145, -255 on row 144, full scale on rows 17 and 272.
  Draw(Load(1, 16, {-256, -255, 32767, -32768}));
  EXPECT_EQ(Lines(S::ZI_LUnmark),
            std::vector<Box>({{64, 145, 66, 144}, {66, 144, 68, 17}, {68, 17, 70, 272}, {70, 272, 72, 272}}));
  EXPECT_EQ(canvas_.At(64, 145), C(S::ZI_LUnmark));
}

TEST_F(ZoomInTest, ResolutionsLimitTheSamplesDrawn) {
  KVoiceFacts voice = Load(1, 8, std::vector<int>(1000, 30));
  voice.MKL = voice.MKR = 100;  // cell 99
  voice.FLG = 10;
  for (const auto& [resolution, count] : {std::pair{2, 272u}, {4, 136u}, {6, 91u}, {8, 68u}}) {
    options_.ZiResolution = resolution;
    Draw(voice);
    EXPECT_EQ(Lines(S::ZI_LUnmark).size() + Lines(S::ZI_LMarked).size(), count) << resolution;
    EXPECT_EQ(Lines(S::ZI_LUnmark).back()[2], 607) << resolution;  // the last one ends at R - 1
  }
  // At 8 the marked cell 99 is off screen: no zoom x, no icon, no line.
  EXPECT_EQ(std::tuple(window_.MklX, window_.MkrX, window_.FlgX), std::tuple(0, 0, 64 + 9 * 8));
  EXPECT_EQ(canvas_.Icons(), std::vector<int>({int(KIcon::FLG), 136 - 12, 3}));
  EXPECT_TRUE(Lines(S::ZI_LMarked).empty());
}

TEST_F(ZoomInTest, MarkerIconsAndCursorLines) {
  KVoiceFacts voice = Load(1, 8, std::vector<int>(100, -10));
  Draw(voice);  // MKL = MKR = FLG = 0: only END
  EXPECT_TRUE(canvas_.Icons().empty());
  EXPECT_EQ(window_.EndX, 64 + 99 * 2);
  // The mute line stops at 64 + 100 x 2; END's dashed line stands right of its frame.
  EXPECT_EQ(Lines(S::ZI_MuteLine), std::vector<Box>({{64, 144, 264, 144}}));
  for (int y = 17; y < 274; ++y) ASSERT_EQ(canvas_.At(264, y) == C(S::ZI_RCursor), y < 272 && y % 4 >= 2) << y;
  // MKL and FLG stand left of their frame, MKR right of it; lines after the grid's: MKL, MKR, FLG, END.
  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::tuple(40, 50, 45);
  options_.ZiResolution = 4;
  Draw(voice);
  EXPECT_EQ(canvas_.Icons(),
            std::vector<int>({0, 64 + 39 * 4 - 12, 3, 1, 64 + 50 * 4 - 12, 3, 2, 64 + 44 * 4 - 12, 3}));
  const auto columns = CursorColumns();
  ASSERT_GE(columns.size(), 4u);
  EXPECT_EQ(std::vector<int>(columns.end() - 4, columns.end()),
            std::vector<int>({64 + 39 * 4, 64 + 50 * 4, 64 + 44 * 4, 64 + 100 * 4}));
  EXPECT_EQ(Lines(S::ZI_LMarked).size(), 11u);
  // Lines at R - 1 or beyond move to R - 2; the icon does not.
  voice = Load(1, 8, std::vector<int>(272, 0));
  voice.MKR = 272;
  options_.ZiResolution = 2;
  Draw(voice);
  EXPECT_EQ(canvas_.Icons(), std::vector<int>({1, 606 + 2 - 12, 3}));
  EXPECT_EQ(CursorColumns().back(), 606);
  voice.MKR = 181;  // at 3 pixels a frame MKR's line falls on R - 1 itself
  options_.ZiResolution = 3;
  Draw(voice);
  EXPECT_EQ(std::pair(canvas_.Icons()[1], CursorColumns().back()), std::pair(607 - 12, 606));
}

TEST_F(ZoomInTest, RectangleModeAndStereo) {
  options_.WaveformMode = 1;
  Draw(Load(1, 8, std::vector<int>(100, 0)));  // silence: flat on row 144, under the mute line
  for (const Box& line : Lines(S::ZI_LUnmark)) ASSERT_TRUE(line[1] == 144 && line[3] == 144);
  EXPECT_FALSE(canvas_.Painted(C(S::ZI_LUnmark)));
  // A rectangle per sample: up from the mute row, across, back down.
  KVoiceFacts voice = Load(2, 8, {100, -100, 100, -100});
  voice.MKL = voice.MKR = 2;
  Draw(voice);
  EXPECT_EQ(Lines(S::ZI_LUnmark), std::vector<Box>({{64, 144, 64, 44}, {64, 44, 66, 44}, {66, 44, 66, 144}}));
  ASSERT_EQ(Lines(S::ZI_RUnmark).size(), 3u);
  EXPECT_EQ(Lines(S::ZI_RUnmark)[1][1], 272 - 28);
  EXPECT_EQ(Lines(S::ZI_RMarked).size(), 3u);
  ASSERT_EQ(Lines(S::ZI_LMarked).size(), 3u);
  EXPECT_EQ(Lines(S::ZI_LMarked)[0][0], 66);
}

TEST_F(ZoomInTest, FullRedrawAndErase) {
  KVoiceFacts voice = Load(1, 16, {-9000, 9000, -3000, 3000, 0});
  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::tuple(2, 3, 4);
  Draw(voice);
  EXPECT_EQ(canvas_.Calls.front(), (RecordingCanvas::Call{Kind::Fill, 0, 0, 640, 291, C(S::ZI_BackGnd)}));
  EXPECT_EQ(Lines(S::ZI_Border),
            std::vector<Box>({{63, 16, 608, 16}, {608, 16, 608, 273}, {608, 273, 63, 273}, {63, 273, 63, 16}}));
  EXPECT_EQ(canvas_.Of(Kind::Text).size(), 9u);
  canvas_.Calls.clear();
  Painter().EraseContents(window_, voice);
  for (const auto& call : canvas_.Calls) EXPECT_EQ(call.Colour, C(S::ZI_BackGnd));  // no icon, no tile
  for (S slot : {S::ZI_LMarked, S::ZI_LUnmark, S::ZI_MuteLine, S::ZI_RCursor}) EXPECT_FALSE(canvas_.Painted(C(slot)));
}

TEST_F(ZoomInTest, ShiftsMoveTheWindowBy32) {
  const std::array<int, 4> shifts[] = {{20, 1000, -1, 1},   {100, 1000, -1, 68}, {100, 1000, 1, 132},
                                       {960, 1000, 1, 992}, {970, 1000, 1, 968}, {968, 1000, 1, 968},
                                       {1, 20, 1, 1},       {0, 0, 1, 0},        {0, 0, -1, 0}};
  for (const auto& [start, end, direction, want] : shifts)
    EXPECT_EQ(ShiftedZiStart(start, end, direction), want) << start << " " << end << " " << direction;
  KOverview overview;
  RecordingCanvas zo(641, 180);
  KOverviewPainter overviewPainter(zo, MakeOverviewGeometry(641, 180, 1), colours_, options_);
  KZoomInPainter zoom = Painter();
  const auto shift = [&](int direction, KVoiceFacts& v) {
    return ShiftZoomWindow(direction, v, *store_, window_, zoom, overview, overviewPainter);
  };
  std::vector<int> values(1000);
  for (int i = 0; i < 1000; ++i) values[size_t(i)] = i % 200 - 100;
  KVoiceFacts voice = Load(1, 8, values);
  EXPECT_FALSE(shift(-1, voice));  // a start at 1 stays put and draws nothing
  EXPECT_TRUE(canvas_.Calls.empty() && zo.Calls.empty());
  Fill(voice);
  overview.PlacePointer(voice, overviewPainter.Geometry());
  ASSERT_TRUE(shift(1, voice));
  EXPECT_EQ(std::tuple(voice.ZiStart, window_.ZiColumns[0][0], overview.PointerX),
            std::tuple(33, uint32_t(32 - 100 + 128), 64 + 33 * 543 / 1000));
  // Overview: the old pointer erased, the new one drawn; no reduction.
  ASSERT_EQ(zo.Calls.size(), 2u);
  EXPECT_EQ(std::tuple(zo.Calls[0].What, zo.Calls[0].A, zo.Calls[1].What, zo.Calls[1].A),
            std::tuple(Kind::Fill, 64 - 12, Kind::Icon, 64 + 17 - 12));
  EXPECT_EQ(overview.Reductions(), 0);
  // Zoom-in: contents erased, then drawn from the new window; no border or labels.
  EXPECT_TRUE(canvas_.Of(Kind::Text).empty() && Lines(S::ZI_Border).empty());
  EXPECT_EQ(Lines(S::ZI_BackGnd).size(), 272u + 1u);
  EXPECT_EQ(Lines(S::ZI_LUnmark)[0][1], 272 - int(window_.ZiColumns[0][0]));
}

}  // namespace
