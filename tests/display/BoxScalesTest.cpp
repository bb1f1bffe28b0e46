#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include "display/BoxScales.h"

namespace {

std::vector<std::string> Texts(const std::vector<KScaleLabel>& labels) {
  std::vector<std::string> texts;
  for (const auto& label : labels) texts.push_back(label.Text);
  return texts;
}
std::vector<int> Rows(const std::vector<KScaleLabel>& labels) {
  std::vector<int> rows;
  for (const auto& label : labels) rows.push_back(label.Y);
  return rows;
}

using Strings = std::vector<std::string>;

TEST(BoxScalesTest, ZoomInLabels) {
  const auto hex8 = ZoomScaleLabels(8, true);
  EXPECT_EQ(Texts(hex8), Strings({"FFH", "E0H", "C0H", "A0H", "80H", "60H", "40H", "20H", "00H"}));
  EXPECT_EQ(Rows(hex8), std::vector<int>({12, 44, 76, 108, 140, 172, 204, 236, 268}));
  EXPECT_EQ(hex8[0].X, 29);
  EXPECT_EQ(Texts(ZoomScaleLabels(8, false)), Strings({"255", "224", "192", "160", "128", " 96", " 64", " 32", "  0"}));
  const auto hex16 = ZoomScaleLabels(16, true);
  EXPECT_EQ(Texts(hex16),
            Strings({" 7FFFH", " 6000H", " 4000H", " 2000H", " 0000H", " E000H", " C000H", " A000H", " 8000H"}));
  EXPECT_EQ(hex16[8].X, 11);
  EXPECT_EQ(Texts(ZoomScaleLabels(16, false)),
            Strings({" 32767", " 24576", " 16384", "  8192", "     0", " -8192", "-16384", "-24576", "-32768"}));
}

TEST(BoxScalesTest, OverviewLabels) {
  const KOverviewGeometry mono = MakeOverviewGeometry(641, 180, 1), stereo = MakeOverviewGeometry(641, 180, 2);
  const auto m8 = OverviewScaleLabels(mono, 8, true);
  EXPECT_EQ(Texts(m8), Strings({"FFH", "C0H", "80H", "40H", "00H"}));
  EXPECT_EQ(Rows(m8), std::vector<int>({13, 45, 77, 109, 141}));
  EXPECT_EQ(Texts(OverviewScaleLabels(mono, 8, false)), Strings({"255", "192", "128", " 64", "  0"}));
  EXPECT_EQ(Texts(OverviewScaleLabels(mono, 16, true)), Strings({" 7FFFH", " 4000H", " 0000H", " C000H", " 8000H"}));
  EXPECT_EQ(Texts(OverviewScaleLabels(mono, 16, false)), Strings({" 32767", " 16384", "     0", "-16384", "-32768"}));

  const auto s8 = OverviewScaleLabels(stereo, 8, true);
  EXPECT_EQ(Texts(s8), Strings({"FFH", "80H", "00H", "FFH", "80H", "00H"}));
  EXPECT_EQ(Rows(s8), std::vector<int>({13, 45, 77, 93, 125, 157}));
  EXPECT_EQ(Texts(OverviewScaleLabels(stereo, 8, false)), Strings({"255", "128", "  0", "255", "128", "  0"}));
  const auto s16 = OverviewScaleLabels(stereo, 16, false);
  EXPECT_EQ(Texts(s16), Strings({" 32767", "     0", "-32768", " 32767", "     0", "-32768"}));
  EXPECT_EQ(s16[3].X, 11);
  EXPECT_EQ(Texts(OverviewScaleLabels(stereo, 16, true)),
            Strings({" 7FFFH", " 0000H", " 8000H", " 7FFFH", " 0000H", " 8000H"}));
}

TEST(BoxScalesTest, DrawingLabelsAndGrid) {
  RecordingCanvas canvas(641, 292);
  DrawScaleLabels(canvas, ZoomScaleLabels(8, true), 0x123456, 0xABCDEF);
  ASSERT_EQ(canvas.Calls.size(), 9u);
  EXPECT_EQ(canvas.Calls[4].Text, "80H");
  EXPECT_EQ(canvas.Calls[4].Colour, 0x123456u);
  EXPECT_EQ(canvas.Calls[4].B, 140);

  canvas.Calls.clear();
  KTile tile{};
  DrawGrid(canvas, 64, 607, 17, 272, tile, tile);
  std::vector<int> rows, columns;
  for (const auto& call : canvas.Calls) {
    if (call.D == call.B + 1) {
      rows.push_back(call.B);
      EXPECT_EQ(std::make_pair(call.A, call.C), std::make_pair(64, 607));
    } else {
      columns.push_back(call.A);
      EXPECT_EQ(std::make_pair(call.B, call.D), std::make_pair(17, 272));
    }
  }
  EXPECT_EQ(rows, std::vector<int>({17, 48, 80, 112, 144, 176, 208, 240, 272}));
  ASSERT_EQ(columns.size(), 18u);
  EXPECT_EQ(columns[1], 95);
  EXPECT_EQ(columns.back(), 607);
}

}  // namespace
