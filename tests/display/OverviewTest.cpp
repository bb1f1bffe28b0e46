#include <gtest/gtest.h>

#include <tuple>

#include "BoxFixture.h"
#include "RecordingCanvas.h"
#include "display/Overview.h"

namespace {

using S = KColourSlot;
using Kind = RecordingCanvas::Kind;

class OverviewTest : public BoxFixture {
 protected:
  // Places the markers and the pointer as RedrawAll does, then redraws.
  void Redraw(const KVoiceFacts& voice) {
    const KOverviewGeometry geo = MakeOverviewGeometry(641, 180, voice.Channels);
    overview_.PlaceMarkers(voice, geo);
    overview_.PlacePointer(voice, geo);
    KOverviewPainter(canvas_, geo, colours_, options_).Redraw(overview_, voice);
  }
  KOverviewPainter Painter(int channels) {
    return KOverviewPainter(canvas_, MakeOverviewGeometry(641, 180, channels), colours_, options_);
  }
  bool Painted(KColour colour) const {
    for (int y = 0; y < 180; ++y)
      for (int x = 0; x < 641; ++x)
        if (canvas_.At(x, y) == colour) return true;
    return false;
  }

  RecordingCanvas canvas_{641, 180};
  KOverview overview_;
};

TEST_F(OverviewTest, GeometryOfOneAndTwoChannels) {
  const KOverviewGeometry mono = MakeOverviewGeometry(641, 180, 1), stereo = MakeOverviewGeometry(641, 180, 2);
  EXPECT_EQ(mono.R, 608);
  EXPECT_EQ(mono.Left(), 64);
  EXPECT_EQ(mono.Right(), 607);
  EXPECT_EQ(mono.Width(), 543);
  EXPECT_EQ(mono.Columns(), 544);
  EXPECT_EQ(mono.InteriorBottom(0), 144);
  EXPECT_EQ(mono.MuteRow(0), 80);
  EXPECT_EQ(mono.PointerRow(0), 146);
  EXPECT_EQ(stereo.InteriorBottom(0), 80);
  EXPECT_EQ(stereo.InteriorTop(1), 97);
  EXPECT_EQ(stereo.MuteRow(0), 48);
  EXPECT_EQ(stereo.MuteRow(1), 128);
  EXPECT_EQ(stereo.PointerRow(0), 82);
  EXPECT_EQ(stereo.PointerRow(1), 162);
  // A wider box still holds 544 columns at most; a narrower one fewer.
  EXPECT_EQ(BoxRightEdge(700), 608);
  EXPECT_EQ(BoxRightEdge(500), 448);
  EXPECT_EQ(BoxRightEdge(40), 65);
}

TEST_F(OverviewTest, MarkerAndPointerColumns) {
  const KOverviewGeometry geo = MakeOverviewGeometry(641, 180, 1);
  EXPECT_EQ(OverviewMarkerColumn(0, 1000, geo), 64);
  EXPECT_EQ(OverviewMarkerColumn(1000, 1000, geo), 607);
  EXPECT_EQ(OverviewMarkerColumn(500, 1000, geo), 335);  // 64 + 271.5
  EXPECT_EQ(OverviewMarkerColumn(5, 0, geo), 0);
  EXPECT_EQ(OverviewPointerColumn(9774, 10000, geo), 64 + 9774 * 543 / 10000);
  // Past 32 bits in the product.
  EXPECT_EQ(OverviewPointerColumn(2000000000, 2000000001, geo), 606);
  EXPECT_EQ(OverviewPointerColumn(1, 0, geo), 0);
}

TEST_F(OverviewTest, FullRedrawOfAMonoVoice) {
  KVoiceFacts voice = Voice(1, 8, 1088);
  voice.FLG = 544;
  overview_.Envelope.Positive[0][0] = overview_.Envelope.Positive[0][1] = 100;
  overview_.Envelope.Negative[0][0] = overview_.Envelope.Negative[0][1] = 40;
  Redraw(voice);

  const auto& first = canvas_.Calls.front();
  EXPECT_EQ(first.What, Kind::Fill);
  EXPECT_EQ(std::tie(first.A, first.B, first.C, first.D, first.Colour),
            std::make_tuple(0, 0, 640, 179, C(S::ZO_BackGnd)));
  EXPECT_EQ(canvas_.LinesIn(C(S::ZO_Border)).size(), 4u);
  EXPECT_EQ(canvas_.At(63, 16), C(S::ZO_Border));
  EXPECT_EQ(canvas_.At(608, 145), C(S::ZO_Border));
  EXPECT_EQ(canvas_.Of(Kind::Text).size(), 5u);

  // MKL = MKR = 0: both at column 64, whose stroke is marked; the next is not.
  const auto marked = canvas_.LinesIn(C(S::ZO_LMarked));
  ASSERT_EQ(marked.size(), 1u);
  EXPECT_EQ(std::tie(marked[0].A, marked[0].B, marked[0].D), std::make_tuple(64, 30, 100));
  EXPECT_EQ(canvas_.LinesIn(C(S::ZO_LUnmark)).size(), 543u);
  EXPECT_EQ(canvas_.FirstRowIn(65, C(S::ZO_LUnmark)), 30);
  EXPECT_EQ(canvas_.At(65, 99), C(S::ZO_LUnmark));
  EXPECT_NE(canvas_.At(65, 100), C(S::ZO_LUnmark));
  EXPECT_EQ(canvas_.At(65, 80), C(S::ZO_MuteLine));

  const auto icons = canvas_.Of(Kind::Icon);
  ASSERT_EQ(icons.size(), 4u);
  EXPECT_EQ(std::tie(icons[0].Icon, icons[0].A, icons[0].B), std::make_tuple(KIcon::MKL, 52, 3));
  EXPECT_EQ(std::tie(icons[1].Icon, icons[1].A, icons[1].B), std::make_tuple(KIcon::MKR, 52, 3));
  EXPECT_EQ(std::tie(icons[2].Icon, icons[2].A), std::make_tuple(KIcon::FLG, 335 - 12));
  EXPECT_EQ(std::tie(icons[3].Icon, icons[3].A, icons[3].B), std::make_tuple(KIcon::Pointer, 52, 146));

  // The dashed line of column 64 covers rows 17..143, two rows on, two off.
  EXPECT_EQ(canvas_.At(64, 17), C(S::ZO_BackGnd));
  EXPECT_EQ(canvas_.At(64, 18), C(S::ZO_RCursor));
  EXPECT_EQ(canvas_.At(64, 19), C(S::ZO_RCursor));
  EXPECT_EQ(canvas_.At(64, 21), C(S::ZO_BackGnd));
  EXPECT_EQ(canvas_.At(64, 143), C(S::ZO_RCursor));
  EXPECT_NE(canvas_.At(64, 144), C(S::ZO_RCursor));
  // Mute line from 64 to 606.
  EXPECT_EQ(canvas_.At(606, 80), C(S::ZO_MuteLine));
  EXPECT_NE(canvas_.At(607, 80), C(S::ZO_MuteLine));
}

TEST_F(OverviewTest, MarkersAtTheEndAndSilence) {
  KVoiceFacts voice = Voice(1, 16, 5000);
  voice.MKL = voice.MKR = voice.FLG = 5000;
  Redraw(voice);
  for (const auto& icon : canvas_.Of(Kind::Icon)) {
    if (icon.Icon != KIcon::Pointer) {
      EXPECT_EQ(icon.A, 607 - 12);
    }
  }
  EXPECT_EQ(canvas_.At(607, 18), C(S::ZO_RCursor));
  // All-zero envelope: no stroke shows.
  EXPECT_FALSE(Painted(C(S::ZO_LMarked)));
  EXPECT_FALSE(Painted(C(S::ZO_LUnmark)));
  EXPECT_EQ(canvas_.At(300, 80), C(S::ZO_MuteLine));
}

TEST_F(OverviewTest, DottedGridOfAnEmptyVoice) {
  Redraw(Voice(1, 8, 0));
  EXPECT_TRUE(canvas_.Of(Kind::Icon).empty());  // no markers, no pointer at END 0
  const KColour grid = C(S::ZO_ScaleGrid), back = C(S::ZO_BackGnd);
  for (int x = 64; x < 607; ++x) {
    if ((x - 95) % 32 == 0 || x == 64) continue;  // the vertical lines cross here
    for (int y : {17, 48, 112, 144}) ASSERT_EQ(canvas_.At(x, y), x % 4 == 3 ? grid : back) << x << "," << y;
  }
  for (int y = 17; y < 144; ++y) {
    if (y == 80) continue;
    for (int x : {64, 95, 607}) ASSERT_EQ(canvas_.At(x, y), y % 4 == 3 ? grid : back) << x << "," << y;
  }
  // Vertical lines stop above the bottom row.
  for (const auto& fill : canvas_.Of(Kind::Tiled)) {
    if (fill.A == 95) {
      EXPECT_EQ(std::tie(fill.B, fill.C, fill.D), std::make_tuple(17, 96, 144));
    }
  }
  EXPECT_EQ(canvas_.At(100, 16), C(S::ZO_Border));
}

TEST_F(OverviewTest, StereoShowsTwoBoxes) {
  KVoiceFacts voice = Voice(2, 16, 2000);
  voice.MKL = 100;
  voice.MKR = 1000;
  voice.FLG = 1500;
  voice.ZiStart = 200;
  overview_.Envelope.Positive[1][50] = 32767;
  overview_.Envelope.Negative[1][50] = 32768;
  overview_.Envelope.Positive[0][400] = 16384;
  Redraw(voice);

  EXPECT_EQ(canvas_.LinesIn(C(S::ZO_Border)).size(), 8u);
  EXPECT_EQ(canvas_.Of(Kind::Text).size(), 6u);
  EXPECT_EQ(canvas_.At(300, 48), C(S::ZO_MuteLine));
  EXPECT_EQ(canvas_.At(300, 128), C(S::ZO_MuteLine));
  // Channel 2, column 114 (marked from 91): 128 - 31 .. 128 + 32, end excluded.
  EXPECT_EQ(overview_.MklX, 91);
  EXPECT_EQ(canvas_.FirstRowIn(114, C(S::ZO_RMarked)), 97);
  EXPECT_EQ(canvas_.At(114, 159), C(S::ZO_RMarked));
  EXPECT_EQ(canvas_.FirstRowIn(464, C(S::ZO_LUnmark)), 48 - 16);
  // Icons once, above the first box; the pointer under each box.
  const auto icons = canvas_.Of(Kind::Icon);
  ASSERT_EQ(icons.size(), 5u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(icons[size_t(i)].B, 3);
  EXPECT_EQ(std::tie(icons[3].Icon, icons[3].B), std::make_tuple(KIcon::Pointer, 82));
  EXPECT_EQ(std::tie(icons[4].Icon, icons[4].B), std::make_tuple(KIcon::Pointer, 162));
  // Each marker's dashed line runs through both boxes.
  int lines = 0;
  for (const auto& fill : canvas_.Of(Kind::Tiled))
    if (fill.C == fill.A + 1 && (fill.A == overview_.MklX || fill.A == overview_.MkrX || fill.A == overview_.FlgX)) {
      EXPECT_TRUE((fill.B == 17 && fill.D == 80) || (fill.B == 97 && fill.D == 160)) << fill.B << " " << fill.D;
      ++lines;
    }
  EXPECT_EQ(lines, 6);
}

TEST_F(OverviewTest, ErasedShapesUseTheBackground) {
  KVoiceFacts voice = Voice(1, 8, 1088);
  voice.MKL = 100;
  voice.MKR = 900;
  overview_.Envelope.Positive[0].fill(60);
  Redraw(voice);
  canvas_.Calls.clear();
  KOverviewPainter painter = Painter(1);
  painter.Envelope(overview_, voice, true);
  painter.Markers(overview_, true);
  painter.Pointer(overview_.PointerX, true);
  EXPECT_TRUE(canvas_.Of(Kind::Icon).empty());
  EXPECT_TRUE(canvas_.Of(Kind::Tiled).empty());
  for (const auto& call : canvas_.Calls) EXPECT_EQ(call.Colour, C(S::ZO_BackGnd));
  EXPECT_EQ(canvas_.LinesIn(C(S::ZO_BackGnd)).size(), 544u);
  EXPECT_EQ(canvas_.Of(Kind::Fill).size(), 3u + 3u + 1u);  // icons, cursor lines, pointer
  EXPECT_FALSE(Painted(C(S::ZO_LMarked)));
  EXPECT_FALSE(Painted(C(S::ZO_LUnmark)));
  EXPECT_FALSE(Painted(C(S::ZO_RCursor)));
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
  ASSERT_EQ(canvas_.Calls.size(), 2u);
  const auto& erase = canvas_.Calls[0];
  EXPECT_EQ(std::tie(erase.What, erase.A, erase.B, erase.C, erase.D, erase.Colour),
            std::make_tuple(Kind::Fill, start - 12, 146, start + 13, 158, C(S::ZO_BackGnd)));
  EXPECT_EQ(std::tie(canvas_.Calls[1].What, canvas_.Calls[1].A), std::make_tuple(Kind::Icon, 64 + 271 - 12));
  // The end of playback puts it back at the window start.
  EXPECT_TRUE(overview_.ShowPlayPosition(voice.ZiStart, 10000, painter));
  EXPECT_EQ(overview_.PointerX, start);

  canvas_.Calls.clear();
  EXPECT_FALSE(overview_.ShowPlayPosition(50, 0, painter));
  EXPECT_EQ(overview_.PointerX, 0);
  EXPECT_TRUE(canvas_.Calls.empty());
}

TEST_F(OverviewTest, RedrawsComeFromTheStoredEnvelope) {
  std::vector<int> values(544 * 2);
  for (size_t i = 0; i < values.size(); ++i) values[i] = int(i % 200) - 100;
  auto store = Store(8, values);
  const KVoiceFacts voice = Voice(1, 8, 1088);
  ASSERT_TRUE(overview_.Recompute(*store, voice));
  EXPECT_EQ(overview_.Reductions(), 1);
  Redraw(voice);
  const auto strokes = [this] {
    std::vector<std::pair<int, int>> rows;
    for (const auto& line : canvas_.LinesIn(C(S::ZO_LUnmark))) rows.emplace_back(line.B, line.D);
    return rows;
  };
  const auto before = strokes();
  ASSERT_NE(before[7].first, before[7].second);
  const KZoEnvelope kept = overview_.Envelope;

  // Silence the samples: the box still shows the envelope it holds.
  uint8_t* view = store->MapView(0, 1088);
  std::fill(view, view + 1088, uint8_t(128));
  store->UnmapView(view);
  canvas_.Calls.clear();
  Redraw(voice);
  KOverviewPainter painter = Painter(1);
  overview_.ShowPlayPosition(700, 1088, painter);
  EXPECT_EQ(strokes(), before);
  EXPECT_EQ(overview_.Envelope.Positive, kept.Positive);
  EXPECT_EQ(overview_.Reductions(), 1);

  ASSERT_TRUE(overview_.Recompute(*store, voice));
  EXPECT_EQ(overview_.Reductions(), 2);
  EXPECT_EQ(overview_.Envelope.Positive[0][7], 0);
}

}  // namespace
