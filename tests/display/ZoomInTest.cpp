#include <gtest/gtest.h>

#include <tuple>

#include "BoxFixture.h"

namespace {

using ZoomInTest = BoxFixture;
using Cells = std::vector<uint32_t>;

// Raw samples with the marker flags, from ZiStart (at least 1), at most 272;
// through the store's cursor when no view is free; frames the store lacks read as silence.
TEST_F(ZoomInTest, FillKeepsRawSamplesAndMarkerFlags) {
  std::vector<int> values(100);
  for (int i = 0; i < 100; ++i) values[size_t(i)] = i - 50;
  KVoiceFacts voice = Load(1, 8, values);
  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::tuple(10, 20, 15);
  const auto &c = window_.ZiColumns[0], &c2 = window_.ZiColumns[1];
  const auto fill = [&](const KVoiceFacts& v) { EXPECT_TRUE(window_.Fill(*store_, v)); };
  fill(voice);
  EXPECT_EQ(Cells({uint32_t(window_.ZiCount), c[0], c[8], c[9], c[14], c[19], c[20], c[99], c2[9]}),
            Cells({100, 128 - 50, 128 - 42, (128 - 41) | kZiMkl | kZiMarked, (128 - 36) | kZiFlg | kZiMarked,
                   (128 - 31) | kZiMkr | kZiMarked, 128 - 30, (128 + 49) | kZiEnd, 0}));
  voice.ZiStart = 90;  // cleared past the count
  fill(voice);
  EXPECT_EQ(Cells({uint32_t(window_.ZiCount), c[0], c[11]}), Cells({11, 128 + 39, 0}));
  voice = Load(2, 16, {-2, 300, 32767, -32768, 5, 6});  // both channels, the same flags on both
  std::tie(voice.MKL, voice.MKR, voice.ZiStart) = std::tuple(2, 2, 0);
  fill(voice);
  const uint32_t both = kZiMkl | kZiMkr | kZiMarked;
  EXPECT_EQ(Cells({uint32_t(window_.ZiCount), c[0], c2[0], c[1], c2[1], c2[2]}),
            Cells({3, 0xFFFE, 300, 0x7FFF | both, 0x8000 | both, 6 | kZiEnd}));
  voice = Load(1, 16, std::vector<int>(1000, 7));
  fill(voice);
  EXPECT_EQ(window_.ZiCount, 272);
  std::vector<uint8_t*> taken;
  for (int i = 0; i < KPcmMMap::kMaxViews; ++i) taken.push_back(store_->MapView(0, 16));
  window_ = KZoomWindow{};
  voice.ZiStart = 800;
  fill(voice);
  EXPECT_EQ(Cells({uint32_t(window_.ZiCount), c[200]}), Cells({201, 7 | kZiEnd}));
  for (uint8_t* v : taken) store_->UnmapView(v);
  voice = Load(1, 8, std::vector<int>(100, 20));
  std::tie(voice.END, voice.ZiStart) = std::tuple(150, 95);
  fill(voice);
  EXPECT_EQ(Cells({uint32_t(window_.ZiCount), c[5], c[6]}), Cells({56, 148, 128}));
  voice.END = 1;
  fill(voice);
  voice.BitsPerSample = 24;
  EXPECT_TRUE(window_.ZiCount == 0 && !window_.Fill(*store_, voice));
}

// The whole box, each sample on the row of trunc(s / 256) + 128 counted up
// from the bottom (-256 on row 145, -255 on 144, full scale on 17 and 272);
// erasing the contents paints only in the background colour.
TEST_F(ZoomInTest, FullRedrawAndErase) {
  KVoiceFacts voice = Load(1, 16, {-256, -255, 32767, -32768, 0});
  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::tuple(2, 3, 4);
  RedrawZoomIn(voice);
  EXPECT_EQ(zi_.Calls.front(), (RecordingCanvas::Call{Kind::Fill, 0, 0, 640, 291, C(S::ZI_BackGnd)}));
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_Border)),
            std::vector<Box>({{63, 16, 608, 16}, {608, 16, 608, 273}, {608, 273, 63, 273}, {63, 273, 63, 16}}));
  EXPECT_EQ(zi_.Of(Kind::Text).size(), 9u);
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_LUnmark)),
            std::vector<Box>({{64, 145, 66, 144}, {70, 272, 72, 144}, {72, 144, 74, 144}}));
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_LMarked)), std::vector<Box>({{66, 144, 68, 17}, {68, 17, 70, 272}}));
  zi_.Calls.clear();
  ZoomPainter().EraseContents(window_, voice);
  for (const auto& call : zi_.Calls) EXPECT_EQ(call.Colour, C(S::ZI_BackGnd));  // no icon, no tile
  // The five samples and the mute line; three icons and four cursor lines.
  EXPECT_EQ(std::pair(zi_.LinesIn(C(S::ZI_BackGnd)).size(), zi_.Of(Kind::Fill).size()), std::pair(6ul, 7ul));
}

// 2 to 8 pixels a sample: as many samples as fit, the last line ending at R - 1; markers off screen draw nothing.
TEST_F(ZoomInTest, ResolutionsLimitTheSamplesDrawn) {
  KVoiceFacts voice = Load(1, 8, std::vector<int>(1000, 30));
  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::tuple(100, 100, 10);
  for (const auto& [resolution, count] : {std::pair{2, 272u}, {4, 136u}, {6, 91u}, {8, 68u}}) {
    options_.ZiResolution = resolution;
    RedrawZoomIn(voice);
    EXPECT_EQ(zi_.LinesIn(C(S::ZI_LUnmark)).size() + zi_.LinesIn(C(S::ZI_LMarked)).size(), count) << resolution;
    EXPECT_EQ(zi_.LinesIn(C(S::ZI_LUnmark)).back()[2], 607) << resolution;
  }
  EXPECT_EQ(std::tuple(window_.MklX, window_.MkrX, window_.FlgX), std::tuple(0, 0, 64 + 9 * 8));
  EXPECT_TRUE(zi_.Icons() == Ints({int(KIcon::FLG), 136 - 12, 3}) && zi_.LinesIn(C(S::ZI_LMarked)).empty());
}

// MKL and FLG stand left of their frame, MKR and END right of it; the mute
// line ends with the samples; lines at R - 1 or beyond move to R - 2, the icons do not.
TEST_F(ZoomInTest, MarkerIconsAndCursorLines) {
  KVoiceFacts voice = Load(1, 8, std::vector<int>(100, -10));
  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::tuple(40, 50, 45);
  options_.ZiResolution = 4;
  RedrawZoomIn(voice);
  EXPECT_EQ(zi_.Icons(), Ints({0, 64 + 39 * 4 - 12, 3, 1, 64 + 50 * 4 - 12, 3, 2, 64 + 44 * 4 - 12, 3}));
  Ints columns;  // MKL, MKR, FLG, END
  for (const Box& line : zi_.TiledWith(colours_.Cursor(true))) columns.push_back(line[0]);
  EXPECT_EQ(columns, Ints({64 + 39 * 4, 64 + 50 * 4, 64 + 44 * 4, 64 + 100 * 4}));
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_MuteLine)), std::vector<Box>({{64, 144, 464, 144}}));
  EXPECT_EQ(std::pair(zi_.LinesIn(C(S::ZI_LMarked)).size(), window_.EndX), std::pair(size_t(11), 64 + 99 * 4));
  for (const auto& [mkr, resolution, icon] : {std::tuple{272, 2, 606 + 2 - 12}, {181, 3, 607 - 12}}) {
    voice = Load(1, 8, std::vector<int>(272, 0));
    voice.MKR = mkr;
    options_.ZiResolution = resolution;
    RedrawZoomIn(voice);
    EXPECT_EQ(zi_.Icons(), Ints({1, icon, 3})) << mkr;
    EXPECT_EQ(zi_.TiledWith(colours_.Cursor(true))[0], (Box{606, 17, 607, 272})) << mkr;
  }
}

// A rectangle per sample, up from the mute row, across and back down; the
// right channel in its own colours.
TEST_F(ZoomInTest, RectangleModeAndStereo) {
  options_.WaveformMode = 1;
  KVoiceFacts voice = Load(2, 8, {100, -100, 100, -100});
  voice.MKL = voice.MKR = 2;
  RedrawZoomIn(voice);
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_LUnmark)), std::vector<Box>({{64, 144, 64, 44}, {64, 44, 66, 44}, {66, 44, 66, 144}}));
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_RMarked)),
            std::vector<Box>({{66, 144, 66, 244}, {66, 244, 68, 244}, {68, 244, 68, 144}}));
  EXPECT_EQ(std::pair(zi_.LinesIn(C(S::ZI_RUnmark)).size(), zi_.LinesIn(C(S::ZI_LMarked)).size()), std::pair(3ul, 3ul));
}

// A shift moves the start by 32 within 1..END - 32; the zoom-in box's
// contents are erased and drawn from the refilled window, the overview's
// pointer moves, nothing is reduced; a shift that moves nothing draws nothing.
TEST_F(ZoomInTest, ShiftsMoveTheWindowBy32) {
  const int shifts[][4] = {{20, 1000, -1, 1},   {100, 1000, -1, 68}, {100, 1000, 1, 132},
                           {960, 1000, 1, 992}, {970, 1000, 1, 968}, {968, 1000, 1, 968},
                           {1, 20, 1, 1},       {0, 0, 1, 0},        {0, 0, -1, 0}};
  for (const auto& [start, end, direction, want] : shifts)
    EXPECT_EQ(ShiftedZiStart(start, end, direction), want) << start << " " << end << " " << direction;
  KOverviewPainter overviewPainter = OverviewPainter(1);
  KZoomInPainter zoom = ZoomPainter();
  std::vector<int> values(1000);
  for (int i = 0; i < 1000; ++i) values[size_t(i)] = i % 200 - 100;
  KVoiceFacts voice = Load(1, 8, values);
  EXPECT_FALSE(ShiftZoomWindow(-1, voice, *store_, window_, zoom, overview_, overviewPainter));
  EXPECT_TRUE(zi_.Calls.empty() && zo_.Calls.empty());
  ASSERT_TRUE(window_.Fill(*store_, voice));
  overview_.PlacePointer(voice, overviewPainter.Geometry());
  ASSERT_TRUE(ShiftZoomWindow(1, voice, *store_, window_, zoom, overview_, overviewPainter));
  EXPECT_EQ(std::tuple(voice.ZiStart, window_.ZiColumns[0][0], overview_.Reductions()),
            std::tuple(33, uint32_t(32 - 100 + 128), int64_t(0)));
  EXPECT_EQ(zo_.Calls, std::vector<RecordingCanvas::Call>({{Kind::Fill, 52, 146, 77, 158, C(S::ZO_BackGnd)},
                                                           {Kind::Icon, 64 + 17 - 12, 146, 0, 0, 0, KIcon::Pointer}}));
  EXPECT_TRUE(zi_.Of(Kind::Text).empty() && zi_.LinesIn(C(S::ZI_Border)).empty());
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_BackGnd)).size(), 272u + 1u);  // the samples and the mute line
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_LUnmark))[0][1], 272 - int(window_.ZiColumns[0][0]));
}

}  // namespace
