#include <gtest/gtest.h>

#include <tuple>

#include "BoxFixture.h"
#include "display/BoxScales.h"
#include "display/Overview.h"

namespace {

using S = KColourSlot;
using Kind = RecordingCanvas::Kind;
using Ints = std::vector<int>;
using Strings = std::vector<std::string>;

class OverviewTest : public BoxFixture {
 protected:
  // Places the markers and the pointer as RedrawAll does, then redraws.
  void Redraw(const KVoiceFacts& voice) {
    overview_.PlaceMarkers(voice, Geometry(voice.Channels));
    overview_.PlacePointer(voice, Geometry(voice.Channels));
    Painter(voice.Channels).Redraw(overview_, voice);
  }
  static KOverviewGeometry Geometry(int channels) { return MakeOverviewGeometry(641, 180, channels); }
  KOverviewPainter Painter(int channels) { return KOverviewPainter(canvas_, Geometry(channels), colours_, options_); }

  RecordingCanvas canvas_{641, 180};
  KOverview overview_;
};

TEST_F(OverviewTest, GeometryAndColumns) {
  const KOverviewGeometry m = Geometry(1), s = Geometry(2);
  EXPECT_EQ(Ints({m.R, m.Left(), m.Right(), m.Width(), m.Columns(), m.InteriorBottom(0), m.MuteRow(0), m.PointerRow(0),
                  s.InteriorBottom(0), s.InteriorTop(1), s.MuteRow(0), s.MuteRow(1), s.PointerRow(0), s.PointerRow(1)}),
            Ints({608, 64, 607, 543, 544, 144, 80, 146, 80, 97, 48, 128, 82, 162}));
  // A wider box still holds 544 columns at most; a narrower one fewer.
  EXPECT_EQ(Ints({BoxRightEdge(700), BoxRightEdge(500), BoxRightEdge(40)}), Ints({608, 448, 65}));
  // Markers round down from the exact column (64 + 271.5); the pointer's product passes 32 bits.
  EXPECT_EQ(
      Ints({OverviewMarkerColumn(0, 1000, m), OverviewMarkerColumn(1000, 1000, m), OverviewMarkerColumn(500, 1000, m),
            OverviewMarkerColumn(5, 0, m), OverviewPointerColumn(9774, 10000, m),
            OverviewPointerColumn(2000000000, 2000000001, m), OverviewPointerColumn(1, 0, m)}),
      Ints({64, 607, 335, 0, 64 + 9774 * 543 / 10000, 606, 0}));
}

TEST_F(OverviewTest, FullRedrawOfAMonoVoice) {
  KVoiceFacts voice = Voice(1, 8, 1088);
  voice.FLG = 544;
  overview_.Envelope.Positive[0][0] = overview_.Envelope.Positive[0][1] = 100;
  overview_.Envelope.Negative[0][0] = overview_.Envelope.Negative[0][1] = 40;
  Redraw(voice);
  EXPECT_EQ(canvas_.Calls.front(), (RecordingCanvas::Call{Kind::Fill, 0, 0, 640, 179, C(S::ZO_BackGnd)}));
  EXPECT_EQ(canvas_.LinesIn(C(S::ZO_Border)),
            (std::vector<std::array<int, 4>>{
                {63, 16, 608, 16}, {608, 16, 608, 145}, {608, 145, 63, 145}, {63, 145, 63, 16}}));
  EXPECT_EQ(canvas_.Of(Kind::Text).size(), 5u);
  // MKL = MKR = 0: both at column 64, whose stroke (rows 30..99) is marked; the next is not.
  EXPECT_EQ(canvas_.LinesIn(C(S::ZO_LMarked)), (std::vector<std::array<int, 4>>{{64, 30, 64, 100}}));
  EXPECT_EQ(canvas_.LinesIn(C(S::ZO_LUnmark)).size(), 543u);
  EXPECT_EQ(canvas_.RowsIn(65, C(S::ZO_LUnmark)), std::pair(30, 99));
  EXPECT_EQ(canvas_.Icons(), Ints({0, 52, 3, 1, 52, 3, 2, 335 - 12, 3, 3, 52, 146}));  // MKL, MKR, FLG, pointer
  // The dashed line of column 64 covers rows 17..143, two rows on, two off; the mute line 64..606.
  for (int y = 17; y < 146; ++y) ASSERT_EQ(canvas_.At(64, y) == C(S::ZO_RCursor), y < 144 && y % 4 >= 2) << y;
  EXPECT_EQ(canvas_.LinesIn(C(S::ZO_MuteLine)), (std::vector<std::array<int, 4>>{{64, 80, 607, 80}}));
  EXPECT_EQ(canvas_.At(65, 80), C(S::ZO_MuteLine));
}

TEST_F(OverviewTest, MarkersAtTheEndSilenceAndTheEmptyVoicesGrid) {
  KVoiceFacts voice = Voice(1, 16, 5000);
  voice.MKL = voice.MKR = voice.FLG = 5000;
  Redraw(voice);
  EXPECT_EQ(canvas_.Icons(), Ints({0, 595, 3, 1, 595, 3, 2, 595, 3, 3, 52, 146}));
  EXPECT_EQ(canvas_.At(607, 18), C(S::ZO_RCursor));
  EXPECT_FALSE(canvas_.Painted(C(S::ZO_LMarked)) || canvas_.Painted(C(S::ZO_LUnmark)));  // a silent envelope
  // An empty voice: no markers, no pointer; the dotted grid on every fourth pixel, columns stop above the bottom.
  canvas_.Calls.clear();
  Redraw(Voice(1, 8, 0));
  EXPECT_TRUE(canvas_.Icons().empty());
  const KColour grid = C(S::ZO_ScaleGrid), back = C(S::ZO_BackGnd);
  for (int i = 17; i < 144; ++i) {  // rows take the column tile, columns the row tile
    ASSERT_TRUE((i + 305) % 32 == 0 || canvas_.At(i + 400, 48) == (i % 4 == 3 ? grid : back)) << i;
    ASSERT_TRUE(i == 80 || canvas_.At(95, i) == (i % 4 == 3 ? grid : back)) << i;
  }
  for (const auto& fill : canvas_.Of(Kind::Tiled))
    EXPECT_TRUE(fill.A != 95 || fill.Box() == (std::array{95, 17, 96, 144}));
}

TEST_F(OverviewTest, StereoShowsTwoBoxes) {
  KVoiceFacts voice = Voice(2, 16, 2000);
  std::tie(voice.MKL, voice.MKR, voice.FLG, voice.ZiStart) = std::tuple(100, 1000, 1500, 200);
  overview_.Envelope.Positive[1][50] = 32767;
  overview_.Envelope.Negative[1][50] = 32768;
  overview_.Envelope.Positive[0][400] = 16384;
  Redraw(voice);
  EXPECT_EQ(canvas_.LinesIn(C(S::ZO_Border)).size(), 8u);
  EXPECT_EQ(canvas_.Of(Kind::Text).size(), 6u);
  EXPECT_EQ(std::pair(canvas_.At(300, 48), canvas_.At(300, 128)), std::pair(C(S::ZO_MuteLine), C(S::ZO_MuteLine)));
  // Channel 2, column 114 (marked from 91): 128 - 31 .. 128 + 32, end excluded.
  EXPECT_EQ(overview_.MklX, 91);
  EXPECT_EQ(canvas_.RowsIn(114, C(S::ZO_RMarked)), std::pair(97, 159));
  // Icons once, above the first box; the pointer under each box; each marker's line through both boxes.
  EXPECT_EQ(canvas_.Icons(), Ints({0, 79, 3, 1, 335 - 12, 3, 2, 471 - 12, 3, 3, 52 + 54, 82, 3, 52 + 54, 162}));
  Ints lines;
  for (const auto& fill : canvas_.Of(Kind::Tiled))
    if (fill.C == fill.A + 1 && (fill.A == overview_.MklX || fill.A == overview_.MkrX || fill.A == overview_.FlgX))
      lines.insert(lines.end(), {fill.B, fill.D});
  EXPECT_EQ(lines, Ints({17, 80, 97, 160, 17, 80, 97, 160, 17, 80, 97, 160}));
}

TEST_F(OverviewTest, ErasedShapesUseTheBackground) {
  KVoiceFacts voice = Voice(1, 8, 1088);
  std::tie(voice.MKL, voice.MKR) = std::tuple(100, 900);
  overview_.Envelope.Positive[0].fill(60);
  Redraw(voice);
  canvas_.Calls.clear();
  KOverviewPainter painter = Painter(1);
  painter.Envelope(overview_, voice, true);
  painter.Markers(overview_, true);
  painter.Pointer(overview_.PointerX, true);
  for (const auto& call : canvas_.Calls) EXPECT_EQ(call.Colour, C(S::ZO_BackGnd));  // no icon, no tile
  EXPECT_EQ(canvas_.LinesIn(C(S::ZO_BackGnd)).size(), 544u);
  EXPECT_EQ(canvas_.Of(Kind::Fill).size(), 3u + 3u + 1u);  // icons, cursor lines, pointer
  for (S slot : {S::ZO_LMarked, S::ZO_LUnmark, S::ZO_RCursor}) EXPECT_FALSE(canvas_.Painted(C(slot)));
}

TEST_F(OverviewTest, PlayPointerMovesOnlyWhenItsColumnChanges) {
  KVoiceFacts voice = Voice(1, 8, 10000);
  voice.ZiStart = 100;
  Redraw(voice);
  canvas_.Calls.clear();
  KOverviewPainter painter = Painter(1);
  const int32_t start = overview_.PointerX;
  EXPECT_EQ(start, 64 + 100 * 543 / 10000);
  EXPECT_FALSE(overview_.ShowPlayPosition(101, 10000, painter));  // the same column
  EXPECT_TRUE(canvas_.Calls.empty());
  ASSERT_TRUE(overview_.ShowPlayPosition(5000, 10000, painter));
  EXPECT_EQ(canvas_.Calls,
            std::vector<RecordingCanvas::Call>({{Kind::Fill, start - 12, 146, start + 13, 158, C(S::ZO_BackGnd)},
                                                {Kind::Icon, 64 + 271 - 12, 146, 0, 0, 0, KIcon::Pointer}}));
  EXPECT_TRUE(overview_.ShowPlayPosition(voice.ZiStart, 10000, painter));  // the end puts it back
  EXPECT_EQ(overview_.PointerX, start);
  canvas_.Calls.clear();
  EXPECT_FALSE(overview_.ShowPlayPosition(50, 0, painter));
  EXPECT_EQ(overview_.PointerX, 0);
  EXPECT_TRUE(canvas_.Calls.empty());
}

// The scale labels run from full scale down in equal steps, 32 rows apart.
TEST(BoxScales, LabelsAndGrid) {
  const auto shown = [](const std::vector<KScaleLabel>& labels) {
    Strings texts;
    for (const auto& l : labels) texts.push_back(std::to_string(l.X) + "," + std::to_string(l.Y) + ":" + l.Text);
    return texts;
  };
  EXPECT_EQ(shown(ZoomScaleLabels(8, true)), Strings({"29,12:FFH", "29,44:E0H", "29,76:C0H", "29,108:A0H", "29,140:80H",
                                                      "29,172:60H", "29,204:40H", "29,236:20H", "29,268:00H"}));
  EXPECT_EQ(
      shown(OverviewScaleLabels(MakeOverviewGeometry(641, 180, 2), 16, false)),
      Strings({"11,13: 32767", "11,45:     0", "11,77:-32768", "11,93: 32767", "11,125:     0", "11,157:-32768"}));
  EXPECT_EQ(shown(OverviewScaleLabels(MakeOverviewGeometry(641, 180, 1), 8, true)),
            Strings({"29,13:FFH", "29,45:C0H", "29,77:80H", "29,109:40H", "29,141:00H"}));
  Strings texts;
  for (const auto& labels : {ZoomScaleLabels(8, false), ZoomScaleLabels(16, true), ZoomScaleLabels(16, false)})
    for (const auto& l : labels) texts.push_back(l.Text);
  EXPECT_EQ(texts, Strings({"255",    "224",    "192",    "160",    "128",    " 96",    " 64",    " 32",    "  0",
                            " 7FFFH", " 6000H", " 4000H", " 2000H", " 0000H", " E000H", " C000H", " A000H", " 8000H",
                            " 32767", " 24576", " 16384", "  8192", "     0", " -8192", "-16384", "-24576", "-32768"}));
  RecordingCanvas canvas(641, 292);
  DrawGrid(canvas, 64, 607, 17, 272, KTile{}, KTile{});
  Ints rows, columns;
  for (const auto& c : canvas.Calls) {
    const bool row = c.D == c.B + 1;
    (row ? rows : columns).push_back(row ? c.B : c.A);
    EXPECT_EQ(row ? std::pair(c.A, c.C) : std::pair(c.B, c.D), row ? std::pair(64, 607) : std::pair(17, 272));
  }
  EXPECT_EQ(rows, Ints({17, 48, 80, 112, 144, 176, 208, 240, 272}));
  EXPECT_EQ(Ints({int(columns.size()), columns[1], columns.back()}), Ints({18, 95, 607}));
}

}  // namespace
