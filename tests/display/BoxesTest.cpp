// The two waveform boxes: the colour scheme and its tiles, the overview's envelope, columns and drawing, the zoom-in
// window and its drawing, the scales.
#include <gtest/gtest.h>

#include <tuple>

#include "BoxFixture.h"
#include "display/BoxScales.h"
#include "display/Envelope.h"

namespace {

using S = KColourSlot;
using OverviewTest = BoxFixture;
using ZoomInTest = BoxFixture;
using BoxScales = BoxFixture;

// Defaults (again after a reset), the background after the system's button face; each slot keeps its 24-bit colour; a
// box's tiles (the grid on rows or columns 3 and 7, the cursor on rows 2, 3, 6 and 7) follow its colours and
// background.
TEST(ColourScheme, DefaultsSlotsAndTiles) {
  const KColour defaults[] = {0xC0C0C0, 0, 0x008080, 0, 0, 0, 0xFFFFFF, 0xFFFFFF, 0, 0xFF0000};  // 0x00BBGGRR
  KColourScheme scheme(0xC0C0C0);
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < 20; ++i) EXPECT_EQ(scheme.Get(S(i)), defaults[i % 10]) << i;
    for (int i = 0; i < 20; ++i) scheme.Set(S(i), 0xFF010203u * KColour(i + 1));
    for (int i = 0; i < 20; ++i) EXPECT_EQ(scheme.Get(S(i)), (0x010203u * KColour(i + 1)) & 0xFFFFFF) << i;
    scheme.ResetAll();
  }
  // The face is the default background where white and black both stand out on it (3 : 1), else mid-grey.
  for (auto [face, background] : {std::pair{0xEFEFEFu, 0xC0C0C0u}, {0x808080u, 0x808080u}, {0x303030u, 0xC0C0C0u}})
    EXPECT_EQ(KColourScheme(face).Get(S::ZO_BackGnd), background) << std::hex << face;
  scheme.Set(S::ZI_ScaleGrid, 0x00FF00);
  scheme.Set(S::ZI_RCursor, 0x0000FF);
  scheme.Set(S::ZI_BackGnd, 0x202020);
  const KTile &rows = scheme.VerticalGrid(true), &columns = scheme.HorizontalGrid(true), &dashes = scheme.Cursor(true);
  EXPECT_EQ(std::vector({rows.At(0, 3), rows.At(3, 2), columns.At(7, 0), columns.At(2, 3), dashes.At(0, 6),
                         dashes.At(5, 1), scheme.Cursor(false).At(0, 0)}),
            std::vector<KColour>({0x00FF00, 0x202020, 0x00FF00, 0x202020, 0x0000FF, 0x202020, 0xC0C0C0}));
}

using Strings = std::vector<std::string>;

// A wider box still holds 544 columns at most, a narrower one fewer. Markers round down from the exact column (64 +
// 271.5); the pointer's product passes 32 bits.
TEST_F(OverviewTest, RightEdgeAndColumns) {
  const KOverviewGeometry m = OverviewGeometry(1);
  EXPECT_EQ(Ints({BoxRightEdge(700), BoxRightEdge(500), BoxRightEdge(40), OverviewMarkerColumn(0, 1000, m),
                  OverviewMarkerColumn(1000, 1000, m), OverviewMarkerColumn(500, 1000, m),
                  OverviewMarkerColumn(5, 0, m), OverviewPointerColumn(9774, 10000, m),
                  OverviewPointerColumn(2000000000, 2000000001, m), OverviewPointerColumn(1, 0, m)}),
            Ints({608, 448, 65, 64, 607, 335, 0, 64 + 9774 * 543 / 10000, 606, 0}));
}

// The whole box of a mono voice; every shape erased again in the background colour; the play pointer, which moves only
// when its column changes.
TEST_F(OverviewTest, FullRedrawEraseAndPlayPointerOfAMonoVoice) {
  KVoiceFacts voice = Voice(1, 8, 1088);
  voice.FLG = 544;
  overview_.Envelope.Positive[0][0] = overview_.Envelope.Positive[0][1] = 100;
  overview_.Envelope.Negative[0][0] = overview_.Envelope.Negative[0][1] = 40;
  RedrawOverview(voice);
  EXPECT_EQ(zo_.Calls.front(), (RecordingCanvas::Call{Kind::Fill, 0, 0, 640, 179, C(S::ZO_BackGnd)}));
  EXPECT_EQ(zo_.LinesIn(C(S::ZO_Border)).size(), 4u);
  EXPECT_EQ(zo_.Count(Kind::Text), 5u);
  // MKL = MKR = 0: both at column 64, whose stroke (rows 30..99) is marked; the next is not.
  EXPECT_EQ(zo_.LinesIn(C(S::ZO_LMarked)), (std::vector<Box>{{64, 30, 64, 100}}));
  const std::vector<Box> unmarked = zo_.LinesIn(C(S::ZO_LUnmark));
  EXPECT_TRUE(unmarked.size() == 543u && unmarked[0] == (Box{65, 30, 65, 100}));
  EXPECT_EQ(zo_.Icons(), Ints({0, 52, 3, 1, 52, 3, 2, 335 - 12, 3, 3, 52, 146}));  // MKL, MKR, FLG, pointer
  // Dashed lines through the interior after the dotted grid; the mute line on the zero row.
  EXPECT_EQ(zo_.TiledWith(colours_.Cursor(false)),
            (std::vector<Box>{{64, 17, 65, 144}, {64, 17, 65, 144}, {335, 17, 336, 144}}));
  EXPECT_EQ(zo_.LinesIn(C(S::ZO_MuteLine)), (std::vector<Box>{{64, 80, 607, 80}}));
  // The dotted grid: rows from the top, 31 pixels on, then every 32; columns likewise from the left.
  Ints rows, columns;
  for (const Box& line : zo_.TiledWith(colours_.HorizontalGrid(false)))
    rows.insert(rows.end(), {line[1], line[0], line[2]});
  for (const Box& line : zo_.TiledWith(colours_.VerticalGrid(false)))
    columns.insert(columns.end(), {line[0], line[1], line[3]});
  EXPECT_EQ(rows, Ints({17, 64, 607, 48, 64, 607, 80, 64, 607, 112, 64, 607, 144, 64, 607}));
  EXPECT_TRUE(columns.size() == 18 * 3 &&
              Ints(columns.begin(), columns.begin() + 6) == Ints({64, 17, 144, 95, 17, 144}));
  zo_.Calls.clear();
  KOverviewPainter painter = OverviewPainter(1);
  painter.Envelope(overview_, voice, true);
  painter.Markers(overview_, true);
  painter.Pointer(overview_.PointerX, true);
  for (const auto& call : zo_.Calls) EXPECT_EQ(call.Colour, C(S::ZO_BackGnd));  // no icon, no tile
  EXPECT_EQ(std::pair(zo_.LinesIn(C(S::ZO_BackGnd)).size(), zo_.Count(Kind::Fill)), std::pair(544ul, 3ul + 3ul + 1ul));
  zo_.Calls.clear();
  EXPECT_FALSE(overview_.ShowPlayPosition(2, 1088, painter));
  ASSERT_TRUE(zo_.Calls.empty() && overview_.ShowPlayPosition(544, 1088, painter));
  EXPECT_EQ(zo_.Calls, std::vector<RecordingCanvas::Call>({{Kind::Fill, 52, 146, 77, 158, C(S::ZO_BackGnd)},
                                                           {Kind::Icon, 64 + 271 - 12, 146, 0, 0, 0, KIcon::Pointer}}));
  EXPECT_TRUE(overview_.ShowPlayPosition(voice.ZiStart, 1088, painter) && overview_.PointerX == 64);
  zo_.Calls.clear();
  EXPECT_FALSE(overview_.ShowPlayPosition(50, 0, painter));
  EXPECT_TRUE(overview_.PointerX == 0 && zo_.Calls.empty());
}

TEST_F(OverviewTest, StereoShowsTwoBoxes) {
  KVoiceFacts voice = Voice(2, 16, 2000);
  std::tie(voice.MKL, voice.MKR, voice.FLG, voice.ZiStart) = std::tuple(100, 1000, 1500, 200);
  overview_.Envelope.Positive[1][50] = 32767;
  overview_.Envelope.Negative[1][50] = 32768;
  RedrawOverview(voice);
  EXPECT_EQ(std::pair(zo_.LinesIn(C(S::ZO_Border)).size(), zo_.Count(Kind::Text)), std::pair(8ul, 6ul));
  EXPECT_EQ(zo_.LinesIn(C(S::ZO_MuteLine)), (std::vector<Box>{{64, 48, 607, 48}, {64, 128, 607, 128}}));
  // Channel 2, column 114 (marked from 91): 128 - 31 .. 128 + 32.
  EXPECT_EQ(std::pair(overview_.MklX, zo_.LinesIn(C(S::ZO_RMarked))[114 - 91]), std::pair(91, Box{114, 97, 114, 160}));
  // Icons once, above the first box; the pointer under each box; each marker's line through both boxes.
  EXPECT_EQ(zo_.Icons(), Ints({0, 79, 3, 1, 335 - 12, 3, 2, 471 - 12, 3, 3, 52 + 54, 82, 3, 52 + 54, 162}));
  Ints dashes;  // x, top and bottom
  for (const Box& line : zo_.TiledWith(colours_.Cursor(false)))
    dashes.insert(dashes.end(), {line[0], line[1], line[3]});
  EXPECT_EQ(dashes, Ints({91, 17, 80, 91, 97, 160, 335, 17, 80, 335, 97, 160, 471, 17, 80, 471, 97, 160}));
}

// The scale labels run from full scale down in equal steps, 32 rows apart.
TEST_F(BoxScales, Labels) {
  Strings texts;
  Ints rows;
  for (const auto& l : OverviewScaleLabels(OverviewGeometry(2), 16, false)) rows.insert(rows.end(), {l.X, l.Y});
  EXPECT_EQ(rows, Ints({11, 13, 11, 45, 11, 77, 11, 93, 11, 125, 11, 157}));
  for (const auto& labels : {ZoomScaleLabels(8, true), ZoomScaleLabels(8, false), ZoomScaleLabels(16, true),
                             ZoomScaleLabels(16, false), OverviewScaleLabels(OverviewGeometry(1), 8, true)})
    for (const auto& l : labels) texts.push_back(l.Text);
  EXPECT_EQ(texts, Strings({"FFH",    "E0H",    "C0H",    "A0H",    "80H",    "60H",    "40H",    "20H",    "00H",
                            "255",    "224",    "192",    "160",    "128",    " 96",    " 64",    " 32",    "  0",
                            " 7FFFH", " 6000H", " 4000H", " 2000H", " 0000H", " E000H", " C000H", " A000H", " 8000H",
                            " 32767", " 24576", " 16384", "  8192", "     0", " -8192", "-16384", "-24576", "-32768",
                            "FFH",    "C0H",    "80H",    "40H",    "00H"}));
}

using Cells = std::vector<uint32_t>;

// Raw samples with the marker flags, from ZiStart (at least 1), at most 272; through the store's cursor when no view is
// free; frames the store lacks read as silence.
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

// The whole box, each sample on row 272 - (trunc(s / 256) + 128): -256 on 145, -255 on 144, full scale on 17 and 272;
// erasing the contents paints only in the background colour.
TEST_F(ZoomInTest, FullRedrawAndErase) {
  KVoiceFacts voice = Load(1, 16, {-256, -255, 32767, -32768, 0});
  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::tuple(2, 3, 4);
  RedrawZoomIn(voice);
  EXPECT_EQ(zi_.Calls.front(), (RecordingCanvas::Call{Kind::Fill, 0, 0, 640, 291, C(S::ZI_BackGnd)}));
  EXPECT_EQ(std::pair(zi_.LinesIn(C(S::ZI_Border))[1], zi_.Count(Kind::Text)), std::pair(Box{608, 16, 608, 273}, 9ul));
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_LUnmark)),
            std::vector<Box>({{64, 145, 66, 144}, {70, 272, 72, 144}, {72, 144, 74, 144}}));
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_LMarked)), std::vector<Box>({{66, 144, 68, 17}, {68, 17, 70, 272}}));
  zi_.Calls.clear();
  ZoomPainter().EraseContents(window_, voice);
  for (const auto& call : zi_.Calls) EXPECT_EQ(call.Colour, C(S::ZI_BackGnd));  // no icon, no tile
  // The five samples and the mute line; three icons and four cursor lines.
  EXPECT_EQ(std::pair(zi_.LinesIn(C(S::ZI_BackGnd)).size(), zi_.Count(Kind::Fill)), std::pair(6ul, 7ul));
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
  EXPECT_EQ(zi_.Icons(), Ints({int(KIcon::FLG), 136 - 12, 3}));  // MKL and MKR are off screen
}

// MKL and FLG stand left of their frame, MKR and END right of it; the mute line ends with the samples; lines at R - 1
// or beyond move to R - 2, the icons do not.
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

// A rectangle per sample, up from the mute row, across and back down; the right channel in its own colours.
TEST_F(ZoomInTest, RectangleModeAndStereo) {
  options_.WaveformMode = 1;
  KVoiceFacts voice = Load(2, 8, {100, -100, 100, -100});
  voice.MKL = voice.MKR = 2;
  RedrawZoomIn(voice);
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_LUnmark)), std::vector<Box>({{64, 144, 64, 44}, {64, 44, 66, 44}, {66, 44, 66, 144}}));
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_RMarked)),
            std::vector<Box>({{66, 144, 66, 244}, {66, 244, 68, 244}, {68, 244, 68, 144}}));
}

// A shift moves the start by 32 within 1..END - 32, redraws the zoom-in contents from the refilled window and moves the
// overview's pointer, reducing nothing; a null shift draws nothing.
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
  EXPECT_TRUE(zi_.Count(Kind::Text) == 0 && zi_.LinesIn(C(S::ZI_Border)).empty());
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_BackGnd)).size(), 272u + 1u);  // the samples and the mute line
  EXPECT_EQ(zi_.LinesIn(C(S::ZI_LUnmark))[0][1], 272 - int(window_.ZiColumns[0][0]));
}

// The reduction as defined, one frame at a time: a frame shared by two columns counts in the first; silence and frames
// past the values held count nowhere.
KZoEnvelope Reference(const std::vector<int>& values, int channels, int32_t end) {
  KZoEnvelope e;
  const double step = double(end) / 544, limit = end - step - 1;
  int64_t last = -1;
  double pos = 0.0;
  for (int c = 0; end > 1 && pos < limit; ++c, pos += step) {
    double sum[2][2] = {};
    int count[2][2] = {};
    for (double k = 0.0; k < step; k += 1.0) {
      const int64_t idx = int64_t(pos + k);
      if (idx == last || idx >= end || size_t(idx * channels) >= values.size()) continue;
      last = idx;
      for (int ch = 0; ch < channels; ++ch)
        if (const int v = values[size_t(idx * channels + ch)]; v != 0)
          sum[ch][v < 0] += std::abs(v), ++count[ch][v < 0];
    }
    for (int ch = 0; ch < 2; ++ch) {
      e.Positive[ch][c] = int32_t(count[ch][0] > 0 ? sum[ch][0] / count[ch][0] : 0);
      e.Negative[ch][c] = int32_t(count[ch][1] > 0 ? sum[ch][1] / count[ch][1] : 0);
    }
  }
  return e;
}

// Full-range values with runs of silence, from a fixed seed.
std::vector<int> Noise(size_t n, int bits) {
  std::vector<int> v(n);
  for (uint32_t i = 0, x = 12345; i < n; ++i) {
    x = x * 1103515245u + 12345u;
    v[i] = (x >> 9) % 5 == 0 ? 0 : int((x >> 8) % (1u << bits)) - (1 << (bits - 1));
  }
  return v;
}

struct ProgressLog : KEnvelopeProgress {
  void Title(std::string_view title) override { Titles.emplace_back(title); }
  void Bar(int percent) override { Bars.push_back(percent); }
  std::vector<std::string> Titles;
  std::vector<int> Bars;
};

using EnvelopeTest = BoxFixture;

// Every format and length, past one raw view of the store too, with frames the store does not hold; through the store's
// cursor when no view is free.
TEST_F(EnvelopeTest, MatchesTheDefinitionOnAllFourFormats) {
  for (int channels : {1, 2})
    for (int bits : {8, 16})
      for (int32_t end :
           {0, 1, 2, 17, 543, 544, 545, 1000, 1360, 544 * 3 + 100, 100003, (1 << 22) / (channels * bits / 8) + 5001}) {
        SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit END " << end);
        const std::vector<int> values = Noise(size_t(end) * size_t(channels) * (end == 1000 ? 1 : 2) / 2, bits);
        auto store = Store(bits, values);
        KZoEnvelope got, cursor;
        ASSERT_TRUE(ReduceEnvelope(*store, channels, bits, end, got));
        const KZoEnvelope want = Reference(values, channels, end);
        ASSERT_TRUE(got.Positive == want.Positive && got.Negative == want.Negative);
        if (end != 100003) continue;
        std::vector<uint8_t*> taken;
        for (int i = 0; i < KPcmMMap::kMaxViews; ++i) taken.push_back(store->MapView(0, 16));
        ASSERT_EQ(store->MapView(0, 16), nullptr);
        ASSERT_TRUE(ReduceEnvelope(*store, channels, bits, end, cursor));
        EXPECT_TRUE(cursor.Positive == want.Positive && cursor.Negative == want.Negative);
        for (uint8_t* v : taken) store->UnmapView(v);
      }
}

// The progress of a reduction of 544 columns; nothing for END 1 or a format it does not know.
TEST_F(EnvelopeTest, ProgressAndBadFormats) {
  KZoEnvelope e;
  ProgressLog log, quiet;
  ASSERT_TRUE(ReduceEnvelope(*Store(16, Noise(544 * 5, 16)), 1, 16, 544 * 5, e, &log));
  EXPECT_EQ(log.Titles, std::vector<std::string>({"Caculate ZO waveform"}));
  ASSERT_EQ(log.Bars.size(), 543u);  // after column 0: 1/544, after column 5: 6/544, at the end 543/544
  EXPECT_EQ(std::tuple(log.Bars.front(), log.Bars[5], log.Bars.back()), std::tuple(0, 1, 99));
  ASSERT_TRUE(ReduceEnvelope(*Store(8, {9, 9}), 1, 8, 1, e, &quiet));
  EXPECT_TRUE(quiet.Titles.empty() && e.Positive[0][0] == 0);
  e.Positive[0][3] = 5;
  EXPECT_FALSE(ReduceEnvelope(*Store(8, {9}), 3, 8, 500, e) || ReduceEnvelope(*Store(8, {9}), 1, 12, 500, e));
  EXPECT_EQ(e.Positive[0][3], 0);
}

}  // namespace
