#include <gtest/gtest.h>

#include <cstdint>

#include "commands/TextReading.h"

namespace {

TEST(HexCount, ReadsDigitsUntilTheFirstOtherCharacter) {
  EXPECT_EQ(ReadHexCount("1F"), 31);
  EXPECT_EQ(ReadHexCount("100    "), 256);
  EXPECT_EQ(ReadHexCount("  -0x1f"), -31);
  EXPECT_EQ(ReadHexCount("+0X10zz"), 16);
  EXPECT_EQ(ReadHexCount("ag"), 10);
  EXPECT_EQ(ReadHexCount(" 1 2"), 1);
}

TEST(HexCount, LongRunsOfDigitsHoldAtTheLimits) {
  EXPECT_EQ(ReadHexCount("7FFFFFFF"), INT32_MAX);
  EXPECT_EQ(ReadHexCount("FFFFFFFFFFFFFFFFFFFF"), INT32_MAX);
  EXPECT_EQ(ReadHexCount("-80000000"), INT32_MIN);
  EXPECT_EQ(ReadHexCount("-FFFFFFFFFFFF"), INT32_MIN);
}

TEST(RealNumber, ReadsTheLongestNumberAtTheStart) {
  EXPECT_DOUBLE_EQ(ReadReal("0.5"), 0.5);
  EXPECT_DOUBLE_EQ(ReadReal("  12.5%"), 12.5);
  EXPECT_DOUBLE_EQ(ReadReal("-.25"), -0.25);
  EXPECT_DOUBLE_EQ(ReadReal("+3."), 3.0);
  EXPECT_DOUBLE_EQ(ReadReal("2e3x"), 2000.0);
  EXPECT_DOUBLE_EQ(ReadReal("2e"), 2.0);
  EXPECT_DOUBLE_EQ(ReadReal("280 "), 280.0);
  size_t used = 0;
  EXPECT_DOUBLE_EQ(ScanReal(" 1.5e-1 rest", used), 0.15);
  EXPECT_EQ(used, 7u);
}

TEST(TextReading, TextsThatStartWithNoNumberReadZero) {
  for (const char* text : {"zz", "", "   ", "-", ".", "+x", "g1"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ReadHexCount(text), 0);
    size_t used = 9;
    EXPECT_EQ(ScanReal(text, used), 0.0);
    EXPECT_EQ(used, 0u);
  }
  EXPECT_EQ(ReadHexCount("0x"), 0);
  EXPECT_EQ(ReadReal("inf"), 0.0);
  EXPECT_EQ(ReadReal("nan"), 0.0);
  EXPECT_EQ(ReadReal("0x10"), 0.0);
}

TEST(RealNumber, NumbersBeyondTheRangeOfDoubles) {
  EXPECT_GT(ReadReal("1e999"), 1e300);
  EXPECT_LT(ReadReal("-1e999"), -1e300);
  EXPECT_EQ(ReadReal("1e-999"), 0.0);
}

TEST(SecondsToFrames, TruncatesTowardZeroWithinTheRange) {
  EXPECT_EQ(SecondsToFrames(0.5, 16000), 8000);
  EXPECT_EQ(SecondsToFrames(0.01, 8000), 80);
  EXPECT_EQ(SecondsToFrames(0.00001, 16000), 0);
  EXPECT_EQ(SecondsToFrames(-0.0001, 16000), -1);
  EXPECT_EQ(SecondsToFrames(1e12, 44100), INT32_MAX);
  EXPECT_EQ(SecondsToFrames(-1e12, 44100), INT32_MIN);
}

TEST(RateScrollBar, RoundsDownToTwentyFiveWithinTheRange) {
  EXPECT_EQ(RateFromScrollPosition(16013), 16000);
  EXPECT_EQ(RateFromScrollPosition(2110), 2100);
  EXPECT_EQ(RateFromScrollPosition(8025), 8025);
  EXPECT_EQ(RateFromScrollPosition(44124), 44100);
  EXPECT_EQ(RateFromScrollPosition(99999), 44100);
  EXPECT_EQ(RateFromScrollPosition(-5), 2100);
}

}  // namespace
