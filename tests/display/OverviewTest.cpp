#include <gtest/gtest.h>

#include <tuple>

#include "BoxFixture.h"
#include "display/BoxScales.h"

namespace {

using OverviewTest = BoxFixture;
using BoxScales = BoxFixture;
using Strings = std::vector<std::string>;

// A wider box still holds 544 columns at most, a narrower one fewer. Markers
// round down from the exact column (64 + 271.5); the pointer's product passes 32 bits.
TEST_F(OverviewTest, RightEdgeAndColumns) {
  const KOverviewGeometry m = OverviewGeometry(1);
  EXPECT_EQ(Ints({BoxRightEdge(700), BoxRightEdge(500), BoxRightEdge(40), OverviewMarkerColumn(0, 1000, m),
                  OverviewMarkerColumn(1000, 1000, m), OverviewMarkerColumn(500, 1000, m),
                  OverviewMarkerColumn(5, 0, m), OverviewPointerColumn(9774, 10000, m),
                  OverviewPointerColumn(2000000000, 2000000001, m), OverviewPointerColumn(1, 0, m)}),
            Ints({608, 448, 65, 64, 607, 335, 0, 64 + 9774 * 543 / 10000, 606, 0}));
}

// The whole box of a mono voice; every shape erased again in the background
// colour; the play pointer, which moves only when its column changes.
TEST_F(OverviewTest, FullRedrawEraseAndPlayPointerOfAMonoVoice) {
  KVoiceFacts voice = Voice(1, 8, 1088);
  voice.FLG = 544;
  overview_.Envelope.Positive[0][0] = overview_.Envelope.Positive[0][1] = 100;
  overview_.Envelope.Negative[0][0] = overview_.Envelope.Negative[0][1] = 40;
  RedrawOverview(voice);
  EXPECT_EQ(zo_.Calls.front(), (RecordingCanvas::Call{Kind::Fill, 0, 0, 640, 179, C(S::ZO_BackGnd)}));
  EXPECT_EQ(zo_.LinesIn(C(S::ZO_Border)),
            (std::vector<Box>{{63, 16, 608, 16}, {608, 16, 608, 145}, {608, 145, 63, 145}, {63, 145, 63, 16}}));
  EXPECT_EQ(zo_.Of(Kind::Text).size(), 5u);
  // MKL = MKR = 0: both at column 64, whose stroke (rows 30..99) is marked; the next is not.
  EXPECT_EQ(zo_.LinesIn(C(S::ZO_LMarked)), (std::vector<Box>{{64, 30, 64, 100}}));
  const std::vector<Box> unmarked = zo_.LinesIn(C(S::ZO_LUnmark));
  EXPECT_TRUE(unmarked.size() == 543u && unmarked[0] == (Box{65, 30, 65, 100}));
  EXPECT_EQ(zo_.Icons(), Ints({0, 52, 3, 1, 52, 3, 2, 335 - 12, 3, 3, 52, 146}));  // MKL, MKR, FLG, pointer
  // Dashed lines through the interior after the dotted grid; the mute line on the zero row.
  EXPECT_EQ(zo_.TiledWith(colours_.Cursor(false)),
            (std::vector<Box>{{64, 17, 65, 144}, {64, 17, 65, 144}, {335, 17, 336, 144}}));
  EXPECT_EQ(zo_.LinesIn(C(S::ZO_MuteLine)), (std::vector<Box>{{64, 80, 607, 80}}));
  zo_.Calls.clear();
  KOverviewPainter painter = OverviewPainter(1);
  painter.Envelope(overview_, voice, true);
  painter.Markers(overview_, true);
  painter.Pointer(overview_.PointerX, true);
  for (const auto& call : zo_.Calls) EXPECT_EQ(call.Colour, C(S::ZO_BackGnd));  // no icon, no tile
  EXPECT_EQ(std::pair(zo_.LinesIn(C(S::ZO_BackGnd)).size(), zo_.Of(Kind::Fill).size()),
            std::pair(544ul, 3ul + 3ul + 1ul));
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

// Markers at END stand on the last column; an empty voice has no markers, no
// pointer and a silent envelope; the dotted grid of rows and columns.
TEST_F(OverviewTest, MarkersAtTheEndAndTheEmptyVoicesGrid) {
  KVoiceFacts voice = Voice(1, 16, 5000);
  voice.MKL = voice.MKR = voice.FLG = 5000;
  RedrawOverview(voice);
  EXPECT_EQ(zo_.Icons(), Ints({0, 595, 3, 1, 595, 3, 2, 595, 3, 3, 52, 146}));
  zo_.Calls.clear();
  RedrawOverview(Voice(1, 8, 0));
  EXPECT_TRUE(zo_.Icons().empty() && zo_.TiledWith(colours_.Cursor(false)).empty());
  for (const Box& line : zo_.LinesIn(C(S::ZO_LUnmark))) ASSERT_TRUE(line[1] == 80 && line[3] == 80);
  const std::vector<Box> columns = zo_.TiledWith(colours_.VerticalGrid(false));
  EXPECT_EQ(zo_.TiledWith(colours_.HorizontalGrid(false)),
            (std::vector<Box>{
                {64, 17, 607, 18}, {64, 48, 607, 49}, {64, 80, 607, 81}, {64, 112, 607, 113}, {64, 144, 607, 145}}));
  EXPECT_TRUE(columns.size() == 18u && columns[1] == (Box{95, 17, 96, 144}) && columns[17][0] == 607);
}

TEST_F(OverviewTest, StereoShowsTwoBoxes) {
  KVoiceFacts voice = Voice(2, 16, 2000);
  std::tie(voice.MKL, voice.MKR, voice.FLG, voice.ZiStart) = std::tuple(100, 1000, 1500, 200);
  overview_.Envelope.Positive[1][50] = 32767;
  overview_.Envelope.Negative[1][50] = 32768;
  RedrawOverview(voice);
  EXPECT_EQ(std::pair(zo_.LinesIn(C(S::ZO_Border)).size(), zo_.Of(Kind::Text).size()), std::pair(8ul, 6ul));
  EXPECT_EQ(zo_.LinesIn(C(S::ZO_MuteLine)), (std::vector<Box>{{64, 48, 607, 48}, {64, 128, 607, 128}}));
  // Channel 2, column 114 (marked from 91): 128 - 31 .. 128 + 32.
  EXPECT_EQ(std::pair(overview_.MklX, zo_.LinesIn(C(S::ZO_RMarked))[114 - 91]), std::pair(91, Box{114, 97, 114, 160}));
  // Icons once, above the first box; the pointer under each box; each marker's line through both boxes.
  EXPECT_EQ(zo_.Icons(), Ints({0, 79, 3, 1, 335 - 12, 3, 2, 471 - 12, 3, 3, 52 + 54, 82, 3, 52 + 54, 162}));
  EXPECT_EQ(zo_.TiledWith(colours_.Cursor(false)), (std::vector<Box>{{91, 17, 92, 80},
                                                                     {91, 97, 92, 160},
                                                                     {335, 17, 336, 80},
                                                                     {335, 97, 336, 160},
                                                                     {471, 17, 472, 80},
                                                                     {471, 97, 472, 160}}));
}

// The scale labels run from full scale down in equal steps, 32 rows apart;
// the grid's first line lies on the interior's edge, the next 31 pixels on, then every 32.
TEST_F(BoxScales, LabelsAndGrid) {
  Strings shown, texts;
  for (const auto& l : ZoomScaleLabels(8, true)) shown.push_back(std::to_string(l.X) + "," + std::to_string(l.Y));
  for (const auto& l : OverviewScaleLabels(MakeOverviewGeometry(641, 180, 2), 16, false))
    shown.push_back(std::to_string(l.X) + "," + std::to_string(l.Y));
  EXPECT_EQ(shown, Strings({"29,12", "29,44", "29,76", "29,108", "29,140", "29,172", "29,204", "29,236", "29,268",
                            "11,13", "11,45", "11,77", "11,93", "11,125", "11,157"}));
  for (const auto& labels :
       {ZoomScaleLabels(8, true), ZoomScaleLabels(8, false), ZoomScaleLabels(16, true), ZoomScaleLabels(16, false),
        OverviewScaleLabels(MakeOverviewGeometry(641, 180, 1), 8, true)})
    for (const auto& l : labels) texts.push_back(l.Text);
  EXPECT_EQ(texts, Strings({"FFH",    "E0H",    "C0H",    "A0H",    "80H",    "60H",    "40H",    "20H",    "00H",
                            "255",    "224",    "192",    "160",    "128",    " 96",    " 64",    " 32",    "  0",
                            " 7FFFH", " 6000H", " 4000H", " 2000H", " 0000H", " E000H", " C000H", " A000H", " 8000H",
                            " 32767", " 24576", " 16384", "  8192", "     0", " -8192", "-16384", "-24576", "-32768",
                            "FFH",    "C0H",    "80H",    "40H",    "00H"}));
  RecordingCanvas canvas(641, 292);
  const KTile rows{}, columns{};
  DrawGrid(canvas, 64, 607, 17, 272, rows, columns);
  Ints y, x;
  for (const Box& row : canvas.TiledWith(rows)) y.push_back(row[1]);
  for (const Box& column : canvas.TiledWith(columns)) x.push_back(column[0]);
  EXPECT_EQ(y, Ints({17, 48, 80, 112, 144, 176, 208, 240, 272}));
  EXPECT_EQ(x, Ints({64, 95, 127, 159, 191, 223, 255, 287, 319, 351, 383, 415, 447, 479, 511, 543, 575, 607}));
}

}  // namespace
