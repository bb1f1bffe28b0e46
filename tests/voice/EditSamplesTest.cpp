// Fades, the amplifier and the echo: what they make of the samples.
#include <algorithm>

#include "EditFixture.h"

using EditSamples = EditFixture;

// Fade-in scales by (p - MKL) / n and needs n = MKR - MKL + 1 > 16; fade-out
// by 1 - (p - MKL) / (MKR - MKL), truncated, and needs MKR > MKL.
TEST_F(EditSamples, FadesStartOrEndAtSilence) {
  Fill16(Current(), 2, std::vector<int16_t>(40, 1700));
  Mark(Current(), 1, 16, 1);
  EXPECT_FALSE(Current().FadeIn());
  Current().MKR = 17;
  ASSERT_TRUE(Current().FadeIn());
  const std::vector<int16_t> s = Samples16(Current());  // frames 1, 9, 17 and 18
  EXPECT_EQ((std::vector<int16_t>{s[0], s[17], s[32], s[35]}), (std::vector<int16_t>{0, 800, 1600, 1700}));
  FillMono8(Current(), {228, 228, 28, 28, 228});
  Mark(Current(), 5, 5, 1);
  EXPECT_FALSE(Current().FadeOut());
  Current().MKL = 1;
  ASSERT_TRUE(Current().FadeOut());
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{228, 203, 78, 103, 128}));
  FillMono8(Current(), {1, 2});  // two frames: too short to fade
  EXPECT_FALSE(Current().FadeOut());
}

// The amplifier scales MKL..MKR when MKR - MKL >= 10, clips and truncates.
TEST_F(EditSamples, AmplifierClipsAndTruncates) {
  FillMono8(Current(), {200, 200, 200, 100, 200, 200, 200, 200, 200, 200, 200, 200, 200});
  Mark(Current(), 2, 12, 5);
  ASSERT_TRUE(Current().MathAmplifier(200));
  EXPECT_EQ(Bytes(Current()), (std::vector<uint8_t>{200, 255, 255, 72, 255, 255, 255, 255, 255, 255, 255, 255, 200}));
  Fill16(Current(), 1, {20000, -20000, -3, 3, 3, 3, 3, 3, 3, 3, 3});
  ASSERT_TRUE(Current().MathAmplifier(200));
  ASSERT_TRUE(Current().MathAmplifier(25));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{8191, -8192, -1, 1, 1, 1, 1, 1, 1, 1, 1}));
  Current().MKR = 10;  // ten frames apart: left alone
  EXPECT_TRUE(Current().MathAmplifier(50));
  EXPECT_EQ(Samples16(Current())[2], -1);
}

// out[j] = sum over k = 0..n of a^k voice[j - k d], clipped.
static std::vector<int16_t> ClosedForm(const std::vector<int16_t>& voice, double a, size_t n, size_t d) {
  std::vector<int16_t> out(voice.size() + n * d);
  for (size_t j = 0; j < out.size(); ++j) {
    double sum = 0, g = 1;
    for (size_t k = 0; k <= n && k * d <= j; ++k, g *= a)
      if (j - k * d < voice.size()) sum += g * voice[j - k * d];
    out[j] = int16_t(std::clamp(sum, -32768.0, 32767.0));
  }
  return out;
}

TEST_F(EditSamples, EchoCountLengthAndClosedForm) {
  std::vector<int16_t> voice;
  for (int i = 0; i < 10000; ++i) voice.push_back(int16_t((i * 37) % 20001 - 10000));
  Fill16(Current(), 1, voice);
  Mark(Current(), 20, 30, 40);
  ASSERT_TRUE(Current().Echo(280, 60));
  // At 16000 Hz: four echoes of 4480 frames.
  EXPECT_EQ(MarksOf(Current()), (Marks{27920, 1, 27920, 1, 1}));
  EXPECT_EQ(Samples16(Current()), ClosedForm(voice, 0.6, 4, 4480));
  // An echo while a^k >= 0.1, at most 63; at 10 Hz 100 ms are one frame.
  for (auto [attenuation, n] : {std::pair{5.0, 0}, {9.9, 0}, {10.0, 1}, {60.0, 4}, {99.0, 63}}) {
    Fill(Current(), 2, 8, {250, 5, 128, 128, 250, 5});
    Current().SampleRate = 10;
    ASSERT_TRUE(Current().Echo(100, attenuation));
    EXPECT_EQ(MarksOf(Current()), (Marks{3 + n, 1, 3 + n, 1, 1})) << attenuation;
  }
  // Frame 3 + 0.99 frame 2 + 0.99^2 frame 1 clips in both channels.
  const std::vector<uint8_t> bytes = Bytes(Current());
  EXPECT_EQ((std::vector<uint8_t>{bytes[4], bytes[5]}), (std::vector<uint8_t>{255, 0}));
}
