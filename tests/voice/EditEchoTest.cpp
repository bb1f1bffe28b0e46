#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "EditFixture.h"
#include "resources/StringTable.h"

namespace {

using EditAmplifier = EditFixture;
using EditEcho = EditFixture;

TEST_F(EditAmplifier, ScalesTheMarkedAreaWithClipping) {
  std::vector<uint8_t> raw(13, 200);
  raw[3] = 100;
  FillMono8(Current(), raw);
  Mark(Current(), 2, 12, 5);
  State before = Capture(Current());
  ASSERT_TRUE(Current().MathAmplifier(200));
  std::vector<uint8_t> expected(13, 255);
  expected[0] = expected[12] = 200;  // outside the marks
  expected[3] = 72;
  EXPECT_EQ(Bytes(Current()), expected);
  ExpectMarkers(Current(), 13, 2, 12, 5, 1);
  ExpectUndoTo(Current(), before, "Undo : Mathematical Amplifier");

  std::vector<int16_t> samples(11, 3);
  samples[0] = 20000;
  samples[1] = -20000;
  samples[2] = -3;
  Fill16(Current(), 1, samples);
  ASSERT_TRUE(Current().MathAmplifier(200));
  EXPECT_EQ(Samples16(Current())[0], 32767);
  EXPECT_EQ(Samples16(Current())[1], -32768);
  ASSERT_TRUE(Current().MathAmplifier(25));
  EXPECT_EQ(Samples16(Current())[2], -1);  // -6 x 0.25 = -1.5, toward zero
  EXPECT_EQ(Samples16(Current())[3], 1);
}

TEST_F(EditAmplifier, NeedsAtLeastElevenMarkedFrames) {
  FillMono8(Current(), std::vector<uint8_t>(10, 150));
  State before = Capture(Current());
  EXPECT_TRUE(Current().MathAmplifier(50));  // MKR - MKL = 9
  EXPECT_TRUE(Capture(Current()) == before);
  EXPECT_EQ(Current().UndoDepth(), 0);

  Current().ClearBank();
  EXPECT_TRUE(Current().MathAmplifier(50));
  EXPECT_EQ(Current().END, 0);
}

TEST_F(EditAmplifier, RefusesAFactorThatIsNoNumber) {
  FillMono8(Current(), std::vector<uint8_t>(20, 128));
  State before = Capture(Current());
  EXPECT_FALSE(Current().MathAmplifier(NAN));
  EXPECT_FALSE(Current().MathAmplifier(INFINITY));
  EXPECT_TRUE(Capture(Current()) == before);
  EXPECT_EQ(Current().UndoDepth(), 0);
}

// The echo of a 16-bit mono voice computed straight from the closed form.
std::vector<int16_t> ClosedForm(const std::vector<int16_t>& voice, double a, int n, int64_t d) {
  const int64_t end = int64_t(voice.size());
  std::vector<int16_t> out;
  for (int64_t j = 0; j < end + n * d; ++j) {
    double sum = 0, g = 1;
    for (int k = 0; k <= n; ++k, g *= a) {
      int64_t i = j - k * d;
      if (i >= 0 && i < end) sum += g * voice[size_t(i)];
    }
    out.push_back(int16_t(std::fmax(-32768.0, std::fmin(32767.0, sum))));
  }
  return out;
}

TEST_F(EditEcho, SixtyPercentAt280MsMatchesTheClosedForm) {
  std::vector<int16_t> voice;
  for (int i = 0; i < 10000; ++i) voice.push_back(int16_t((i * 37) % 20001 - 10000));
  Fill16(Current(), 1, voice);
  Mark(Current(), 20, 30, 40);
  State before = Capture(Current());
  ASSERT_TRUE(Current().Echo(280, 60));
  // n = 4 echoes of D = 4480 frames.
  const std::vector<int16_t> result = Samples16(Current());
  ASSERT_EQ(result.size(), 27920u);
  EXPECT_EQ(result[4480], int16_t(voice[4480] + 0.6 * voice[0]));
  EXPECT_EQ(result, ClosedForm(voice, 0.6, 4, 4480));
  ExpectMarkers(Current(), 27920, 1, 27920, 1, 1);
  ExpectUndoTo(Current(), before, "Undo : Echo");
}

TEST_F(EditEcho, EchoCountFollowsTheAttenuation) {
  // At 2100 Hz a delay of 100 ms is 210 frames.
  const std::pair<double, int> counts[] = {{5, 0}, {9.9, 0}, {10, 1}, {60, 4}, {99, 63}};
  for (const auto& [attenuation, n] : counts) {
    FillMono8(Current(), Ramp(10));
    Current().SampleRate = 2100;
    Mark(Current(), 2, 3, 4);
    ASSERT_TRUE(Current().Echo(100, attenuation));
    EXPECT_EQ(Current().END, 10 + n * 210) << attenuation;
    ExpectMarkers(Current(), Current().END, 1, Current().END, 1, 1);
  }
  // With no echo the samples stay, yet the snapshot is taken.
  Current().ClearBank();
  FillMono8(Current(), Ramp(10));
  ASSERT_TRUE(Current().Echo(2000, 5));
  EXPECT_EQ(Bytes(Current()), Ramp(10));
  EXPECT_EQ(Current().UndoDepth(), 1);
}

TEST_F(EditEcho, StereoEightBitClipsPerChannel) {
  Fill(Current(), 2, 8, {250, 5, 128, 128, 250, 5});
  Current().SampleRate = 10;  // 1000 ms is 10 frames, 100 ms 1 frame
  ASSERT_TRUE(Current().Echo(100, 99));
  std::vector<uint8_t> bytes = Bytes(Current());
  ASSERT_EQ(bytes.size(), size_t(2 * (3 + 63)));
  // Frame 3 = frame 3 + 0.99 x frame 2 + 0.99^2 x frame 1: clipped.
  EXPECT_EQ(bytes[4], 255);
  EXPECT_EQ(bytes[5], 0);
}

TEST_F(EditEcho, OutOfRangeParametersChangeNothing) {
  FillMono8(Current(), Ramp(10));
  State before = Capture(Current());
  for (auto [delay, attenuation] : {std::pair{280.0, 0.5}, {280.0, 99.5}, {99.0, 60.0}, {2001.0, 60.0},
                                    {NAN, 60.0}, {280.0, NAN}})
    EXPECT_FALSE(Current().Echo(delay, attenuation));
  EXPECT_TRUE(Capture(Current()) == before);
  EXPECT_EQ(Current().UndoDepth(), 0);
  EXPECT_TRUE(messages_.empty());

  Current().ClearBank();
  EXPECT_TRUE(Current().Echo(280, 60));
  EXPECT_EQ(Current().END, 0);
}

TEST_F(EditEcho, ALongEchoIsRefusedBeforeAnything) {
  Fill16(Current(), 2, {1, 2, 3, 4});
  Current().SampleRate = 44100;
  Current().END = 536'000'000;  // 2 144 000 000 bytes; 63 echoes of 2 s pass 2^31 - 1
  EXPECT_FALSE(Current().Echo(2000, 99));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], KFormatMessage(msg::kTooLong, "the echo"));
  EXPECT_EQ(Current().UndoDepth(), 0);
  EXPECT_EQ(Current().END, 536'000'000);
}

}  // namespace
