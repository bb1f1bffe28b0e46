#include <gtest/gtest.h>

#include <tuple>

#include "BoxFixture.h"
#include "RecordingCanvas.h"
#include "display/ZoomInBox.h"

namespace {

using S = KColourSlot;
using Kind = RecordingCanvas::Kind;

class ZoomInTest : public BoxFixture {
 protected:
  // A voice of `values` (channel samples in frame order) filled into the window.
  KVoiceFacts Load(int32_t channels, int32_t bits, const std::vector<int>& values) {
    store_ = Store(bits, values);
    KVoiceFacts voice = Voice(channels, bits, int32_t(values.size()) / channels);
    return voice;
  }
  void Fill(const KVoiceFacts& voice) { EXPECT_TRUE(window_.Fill(*store_, voice)); }
  KZoomInPainter Painter() { return KZoomInPainter(canvas_, MakeZoomGeometry(641, 292), colours_, options_); }
  void Draw(const KVoiceFacts& voice) {
    Fill(voice);
    Painter().Redraw(window_, voice);
  }
  bool Painted(KColour colour) const {
    for (int y = 0; y < 292; ++y)
      for (int x = 0; x < 641; ++x)
        if (canvas_.At(x, y) == colour) return true;
    return false;
  }

  std::unique_ptr<KPcmMMap> store_;
  KZoomWindow window_;
  RecordingCanvas canvas_{641, 292};
};

TEST_F(ZoomInTest, FillKeepsRawSamplesAndMarkerFlags) {
  std::vector<int> values(100);
  for (int i = 0; i < 100; ++i) values[size_t(i)] = i - 50;
  KVoiceFacts voice = Load(1, 8, values);
  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::make_tuple(10, 20, 15);
  Fill(voice);
  ASSERT_EQ(window_.ZiCount, 100);
  EXPECT_EQ(window_.ZiColumns[0][0], 128u - 50u);
  EXPECT_EQ(window_.ZiColumns[0][8], 128u - 42u);
  EXPECT_EQ(window_.ZiColumns[0][9], (128u - 41u) | kZiMkl | kZiMarked);
  EXPECT_EQ(window_.ZiColumns[0][14] & ~kZiSampleBits, kZiFlg | kZiMarked);
  EXPECT_EQ(window_.ZiColumns[0][19] & ~kZiSampleBits, kZiMkr | kZiMarked);
  EXPECT_EQ(window_.ZiColumns[0][20] & ~kZiSampleBits, 0u);
  EXPECT_EQ(window_.ZiColumns[0][99], (128u + 49u) | kZiEnd);
  EXPECT_EQ(window_.ZiColumns[1][9], 0u);  // mono

  voice.ZiStart = 90;
  Fill(voice);
  EXPECT_EQ(window_.ZiCount, 11);
  EXPECT_EQ(window_.ZiColumns[0][0], 128u + 39u);
  EXPECT_EQ(window_.ZiColumns[0][11], 0u);  // cleared past the count
  voice.ZiStart = 0;                        // read from the first frame
  Fill(voice);
  EXPECT_EQ(window_.ZiColumns[0][0], 128u - 50u);

  // Stereo 16-bit: both channels as 16-bit patterns, the same flags on both.
  voice = Load(2, 16, {-2, 300, 32767, -32768, 5, 6});
  voice.MKL = voice.MKR = 2;
  Fill(voice);
  ASSERT_EQ(window_.ZiCount, 3);
  EXPECT_EQ(window_.ZiColumns[0][0], 0xFFFEu);
  EXPECT_EQ(window_.ZiColumns[1][0], 300u);
  EXPECT_EQ(window_.ZiColumns[0][1], 0x7FFFu | kZiMkl | kZiMkr | kZiMarked);
  EXPECT_EQ(window_.ZiColumns[1][1], 0x8000u | kZiMkl | kZiMkr | kZiMarked);
  EXPECT_EQ(window_.ZiColumns[1][2], 6u | kZiEnd);
}

TEST_F(ZoomInTest, FillLimitsAndFallbacks) {
  KVoiceFacts voice = Load(1, 16, std::vector<int>(1000, 7));
  Fill(voice);
  EXPECT_EQ(window_.ZiCount, 272);
  // No view free: the cursor serves.
  std::vector<uint8_t*> taken;
  for (int i = 0; i < KPcmMMap::kMaxViews; ++i) taken.push_back(store_->MapView(0, 16));
  window_ = KZoomWindow{};
  voice.ZiStart = 800;
  Fill(voice);
  EXPECT_EQ(window_.ZiCount, 201);
  EXPECT_EQ(window_.ZiColumns[0][200], 7u | kZiEnd);
  for (uint8_t* v : taken) store_->UnmapView(v);

  // Frames the store lacks read as silence.
  voice = Load(1, 8, std::vector<int>(100, 20));
  voice.END = 150;
  voice.ZiStart = 95;
  Fill(voice);
  EXPECT_EQ(window_.ZiCount, 56);
  EXPECT_EQ(window_.ZiColumns[0][5], 148u);
  EXPECT_EQ(window_.ZiColumns[0][6], 128u);

  voice.END = 1;
  Fill(voice);
  EXPECT_EQ(window_.ZiCount, 0);
  voice.BitsPerSample = 24;
  EXPECT_FALSE(window_.Fill(*store_, voice));
}

TEST_F(ZoomInTest, SampleLevelsAndRows) {
  EXPECT_EQ(ZiLevel(0x8000, 16), 0);
  EXPECT_EQ(ZiLevel(uint16_t(-256), 16), 127);
  EXPECT_EQ(ZiLevel(uint16_t(-255), 16), 128);
  EXPECT_EQ(ZiLevel(0xFFFF, 16), 128);
  EXPECT_EQ(ZiLevel(255, 16), 128);
  EXPECT_EQ(ZiLevel(256, 16), 129);
  EXPECT_EQ(ZiLevel(0x7FFF | kZiMarked | kZiEnd, 16), 255);
  EXPECT_EQ(ZiLevel(0x80 | kZiMkl, 8), 128);

  // -256 is drawn on row 145, -255 on row 144, full scale on rows 17 and 272.
  const KVoiceFacts voice = Load(1, 16, {-256, -255, 32767, -32768});
  Draw(voice);
  const auto lines = canvas_.LinesIn(C(S::ZI_LUnmark));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(std::tie(lines[0].A, lines[0].B, lines[0].C, lines[0].D), std::make_tuple(64, 145, 66, 144));
  EXPECT_EQ(std::tie(lines[1].B, lines[1].D), std::make_tuple(144, 17));
  EXPECT_EQ(std::tie(lines[2].B, lines[2].D), std::make_tuple(17, 272));
  EXPECT_EQ(std::tie(lines[3].A, lines[3].B, lines[3].C, lines[3].D), std::make_tuple(70, 272, 72, 272));
  EXPECT_EQ(canvas_.At(64, 145), C(S::ZI_LUnmark));
}

TEST_F(ZoomInTest, ResolutionsLimitTheSamplesDrawn) {
  KVoiceFacts voice = Load(1, 8, std::vector<int>(1000, 30));
  voice.MKL = voice.MKR = 100;  // cell 99
  voice.FLG = 10;
  const std::pair<int, size_t> drawn[] = {{2, 272}, {4, 136}, {6, 91}, {8, 68}};
  for (const auto& [resolution, count] : drawn) {
    options_.ZiResolution = resolution;
    canvas_.Calls.clear();
    Draw(voice);
    const auto lines = canvas_.LinesIn(C(S::ZI_LUnmark));
    EXPECT_EQ(lines.size() + canvas_.LinesIn(C(S::ZI_LMarked)).size(), count) << resolution;
    EXPECT_EQ(lines.back().C, 607) << resolution;  // the last one ends at R - 1
    EXPECT_EQ(window_.ZiCount, 272);
  }
  // At 8 the marked cell 99 is off screen: no zoom x, no icon, no line.
  EXPECT_EQ(window_.MklX, 0);
  EXPECT_EQ(window_.MkrX, 0);
  EXPECT_EQ(window_.FlgX, 64 + 9 * 8);
  const auto icons = canvas_.Of(Kind::Icon);
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(std::tie(icons[0].Icon, icons[0].A, icons[0].B), std::make_tuple(KIcon::FLG, 136 - 12, 3));
  EXPECT_TRUE(canvas_.LinesIn(C(S::ZI_LMarked)).empty());
}

TEST_F(ZoomInTest, MarkerIconsAndCursorLines) {
  KVoiceFacts voice = Load(1, 8, std::vector<int>(100, -10));
  Draw(voice);  // MKL = MKR = FLG = 0: only END
  EXPECT_TRUE(canvas_.Of(Kind::Icon).empty());
  EXPECT_EQ(window_.EndX, 64 + 99 * 2);
  // The mute line stops at 64 + 100 x 2; END's line stands right of its frame.
  const auto mute = canvas_.LinesIn(C(S::ZI_MuteLine));
  ASSERT_EQ(mute.size(), 1u);
  EXPECT_EQ(std::tie(mute[0].A, mute[0].B, mute[0].C), std::make_tuple(64, 144, 264));
  EXPECT_EQ(canvas_.At(264, 17), C(S::ZI_BackGnd));
  EXPECT_EQ(canvas_.At(264, 18), C(S::ZI_RCursor));
  EXPECT_EQ(canvas_.At(264, 271), C(S::ZI_RCursor));
  EXPECT_NE(canvas_.At(264, 272), C(S::ZI_RCursor));

  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::make_tuple(40, 50, 45);
  options_.ZiResolution = 4;
  canvas_.Calls.clear();
  Draw(voice);
  const auto icons = canvas_.Of(Kind::Icon);
  ASSERT_EQ(icons.size(), 3u);
  EXPECT_EQ(std::tie(icons[0].Icon, icons[0].A), std::make_tuple(KIcon::MKL, 64 + 39 * 4 - 12));
  EXPECT_EQ(std::tie(icons[1].Icon, icons[1].A), std::make_tuple(KIcon::MKR, 64 + 49 * 4 + 4 - 12));
  EXPECT_EQ(std::tie(icons[2].Icon, icons[2].A), std::make_tuple(KIcon::FLG, 64 + 44 * 4 - 12));
  std::vector<int> columns;
  for (const auto& fill : canvas_.Of(Kind::Tiled))
    if (fill.B == 17 && fill.D == 272 && fill.C == fill.A + 1) columns.push_back(fill.A);
  // After the grid's vertical lines: MKL, MKR, FLG, END.
  ASSERT_GE(columns.size(), 4u);
  EXPECT_EQ(std::vector<int>(columns.end() - 4, columns.end()),
            std::vector<int>({64 + 39 * 4, 64 + 50 * 4, 64 + 44 * 4, 64 + 100 * 4}));
  EXPECT_EQ(canvas_.LinesIn(C(S::ZI_LMarked)).size(), 11u);

  // Lines at R - 1 or beyond move to R - 2; the icon does not.
  voice = Load(1, 8, std::vector<int>(272, 0));
  voice.MKR = 272;
  options_.ZiResolution = 2;
  canvas_.Calls.clear();
  Draw(voice);
  ASSERT_EQ(canvas_.Of(Kind::Icon).size(), 1u);
  EXPECT_EQ(canvas_.Of(Kind::Icon)[0].A, 606 + 2 - 12);
  EXPECT_EQ(canvas_.Of(Kind::Tiled).back().A, 606);
}

TEST_F(ZoomInTest, RectangleModeAndStereo) {
  options_.WaveformMode = 1;
  // Silence: a flat line on row 144, which the mute line covers.
  KVoiceFacts voice = Load(1, 8, std::vector<int>(100, 0));
  Draw(voice);
  for (const auto& line : canvas_.LinesIn(C(S::ZI_LUnmark))) ASSERT_TRUE(line.B == 144 && line.D == 144);
  EXPECT_FALSE(Painted(C(S::ZI_LUnmark)));

  // A rectangle per sample: up from the mute row, across, back down.
  voice = Load(2, 8, {100, -100, 100, -100});
  voice.MKL = voice.MKR = 2;
  canvas_.Calls.clear();
  Draw(voice);
  const auto ch1 = canvas_.LinesIn(C(S::ZI_LUnmark)), ch2 = canvas_.LinesIn(C(S::ZI_RUnmark));
  ASSERT_EQ(ch1.size(), 3u);
  EXPECT_EQ(std::tie(ch1[0].A, ch1[0].B, ch1[0].C, ch1[0].D), std::make_tuple(64, 144, 64, 44));
  EXPECT_EQ(std::tie(ch1[1].A, ch1[1].B, ch1[1].C, ch1[1].D), std::make_tuple(64, 44, 66, 44));
  EXPECT_EQ(std::tie(ch1[2].A, ch1[2].B, ch1[2].C, ch1[2].D), std::make_tuple(66, 44, 66, 144));
  ASSERT_EQ(ch2.size(), 3u);
  EXPECT_EQ(ch2[1].B, 272 - 28);
  EXPECT_EQ(canvas_.LinesIn(C(S::ZI_LMarked)).size(), 3u);
  EXPECT_EQ(canvas_.LinesIn(C(S::ZI_RMarked)).size(), 3u);
  EXPECT_EQ(canvas_.LinesIn(C(S::ZI_LMarked))[0].A, 66);
}

TEST_F(ZoomInTest, FullRedrawAndErase) {
  std::vector<int> values(300);
  for (int i = 0; i < 300; ++i) values[size_t(i)] = i % 7 * 30 - 90;
  KVoiceFacts voice = Load(1, 16, values);
  std::tie(voice.MKL, voice.MKR, voice.FLG) = std::make_tuple(3, 200, 100);
  Draw(voice);
  const auto& first = canvas_.Calls.front();
  EXPECT_EQ(std::tie(first.What, first.A, first.B, first.C, first.D, first.Colour),
            std::make_tuple(Kind::Fill, 0, 0, 640, 291, C(S::ZI_BackGnd)));
  EXPECT_EQ(canvas_.LinesIn(C(S::ZI_Border)).size(), 4u);
  EXPECT_EQ(canvas_.At(63, 273), C(S::ZI_Border));
  EXPECT_EQ(canvas_.At(608, 16), C(S::ZI_Border));
  EXPECT_EQ(canvas_.Of(Kind::Text).size(), 9u);

  // Redrawing never refills: silenced samples leave the picture as it was.
  const auto before = canvas_.LinesIn(C(S::ZI_LMarked)).size();
  uint8_t* view = store_->MapView(0, 600);
  std::fill(view, view + 600, uint8_t(0));
  store_->UnmapView(view);
  canvas_.Calls.clear();
  Painter().Redraw(window_, voice);
  EXPECT_EQ(canvas_.LinesIn(C(S::ZI_LMarked)).size(), before);
  EXPECT_EQ(canvas_.LinesIn(C(S::ZI_LMarked))[5].B, 272 - ZiLevel(uint16_t(values[7]), 16));

  canvas_.Calls.clear();
  Painter().EraseContents(window_, voice);
  EXPECT_TRUE(canvas_.Of(Kind::Icon).empty());
  EXPECT_TRUE(canvas_.Of(Kind::Tiled).empty());
  for (const auto& call : canvas_.Calls) EXPECT_EQ(call.Colour, C(S::ZI_BackGnd));
  for (S slot : {S::ZI_LMarked, S::ZI_LUnmark, S::ZI_MuteLine, S::ZI_RCursor}) EXPECT_FALSE(Painted(C(slot)));
}

TEST_F(ZoomInTest, ShiftsMoveTheWindowBy32) {
  EXPECT_EQ(ShiftedZiStart(20, 1000, -1), 1);
  EXPECT_EQ(ShiftedZiStart(100, 1000, -1), 68);
  EXPECT_EQ(ShiftedZiStart(100, 1000, 1), 132);
  EXPECT_EQ(ShiftedZiStart(960, 1000, 1), 992);
  EXPECT_EQ(ShiftedZiStart(970, 1000, 1), 968);
  EXPECT_EQ(ShiftedZiStart(968, 1000, 1), 968);
  EXPECT_EQ(ShiftedZiStart(1, 20, 1), 1);
  EXPECT_EQ(ShiftedZiStart(0, 0, 1), 0);
  EXPECT_EQ(ShiftedZiStart(0, 0, -1), 0);

  KOverview overview;
  RecordingCanvas zo(641, 180);
  KOverviewPainter overviewPainter(zo, MakeOverviewGeometry(641, 180, 1), colours_, options_);
  KZoomInPainter zoom = Painter();

  // An empty voice and a start at 1 stay put and draw nothing.
  KVoiceFacts voice = Load(1, 8, {});
  EXPECT_FALSE(ShiftZoomWindow(1, voice, *store_, window_, zoom, overview, overviewPainter));
  EXPECT_FALSE(ShiftZoomWindow(-1, voice, *store_, window_, zoom, overview, overviewPainter));
  EXPECT_EQ(voice.ZiStart, 0);
  std::vector<int> values(1000);
  for (int i = 0; i < 1000; ++i) values[size_t(i)] = i % 200 - 100;
  voice = Load(1, 8, values);
  EXPECT_FALSE(ShiftZoomWindow(-1, voice, *store_, window_, zoom, overview, overviewPainter));
  EXPECT_TRUE(canvas_.Calls.empty());
  EXPECT_TRUE(zo.Calls.empty());

  Fill(voice);
  overview.PlacePointer(voice, overviewPainter.Geometry());
  ASSERT_TRUE(ShiftZoomWindow(1, voice, *store_, window_, zoom, overview, overviewPainter));
  EXPECT_EQ(voice.ZiStart, 33);
  EXPECT_EQ(window_.ZiColumns[0][0], uint32_t(32 % 200 - 100 + 128));
  EXPECT_EQ(overview.PointerX, 64 + 33 * 543 / 1000);
  // Overview: the old pointer erased, the new one drawn; no reduction.
  ASSERT_EQ(zo.Calls.size(), 2u);
  EXPECT_EQ(std::tie(zo.Calls[0].What, zo.Calls[0].A), std::make_tuple(Kind::Fill, 64 - 12));
  EXPECT_EQ(std::tie(zo.Calls[1].What, zo.Calls[1].A), std::make_tuple(Kind::Icon, 64 + 17 - 12));
  EXPECT_EQ(overview.Reductions(), 0);
  // Zoom-in: contents erased, then drawn from the new window; no border or labels.
  EXPECT_TRUE(canvas_.Of(Kind::Text).empty());
  EXPECT_TRUE(canvas_.LinesIn(C(S::ZI_Border)).empty());
  EXPECT_EQ(canvas_.LinesIn(C(S::ZI_BackGnd)).size(), 272u + 1u);
  EXPECT_EQ(canvas_.LinesIn(C(S::ZI_LUnmark))[0].B, 272 - int(window_.ZiColumns[0][0]));
}

}  // namespace
