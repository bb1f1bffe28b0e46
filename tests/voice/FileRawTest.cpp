#include <gtest/gtest.h>

#include "FileFixture.h"

namespace {

using Raw = FileFixture;

TEST_F(Raw, LengthComesFromTheFileAndTheChosenFormat) {
  const std::string path = PathOf("ten.pcm");
  const std::vector<uint8_t> ten = Pattern(10);
  WriteBytes(path, ten);
  ASSERT_TRUE(Voice(2).LoadRawPcmFile(path, 1, 8));
  ExpectMarkedWhole(Voice(2), 8);
  EXPECT_EQ(Voice(2).SampleRate, 8000);
  EXPECT_EQ(Voice(2).FileType, KPcmFiles::kRawMono8);
  EXPECT_EQ(Bytes(Voice(2)), std::vector<uint8_t>(ten.begin(), ten.begin() + 8));
  ASSERT_TRUE(Voice(2).LoadRawPcmFile(path, 2, 16));
  ExpectMarkedWhole(Voice(2), 2);
  EXPECT_EQ(Voice(2).FileType, KPcmFiles::kRawStereo16);

  WriteBytes(path, {1, 2, 3});
  ASSERT_TRUE(Voice(2).LoadRawPcmFile(path, 1, 16));
  ExpectMarkedWhole(Voice(2), 0);
  EXPECT_EQ(Voice(2).Storage->Size(), 16);

  WriteBytes(path, {});
  GiveVoice(Voice(2), 1, 8, 5);
  const State before = StateOf(Voice(2));
  EXPECT_FALSE(Voice(2).LoadRawPcmFile(path, 1, 8));
  EXPECT_EQ(LastMessage(), NotValid(path, "PCM"));
  EXPECT_EQ(StateOf(Voice(2)), before);
  WriteBytes(path, ten);
  EXPECT_FALSE(Voice(2).LoadRawPcmFile(path, 3, 8));
  EXPECT_EQ(StateOf(Voice(2)), before);
}

TEST_F(Raw, RoundTripRemembersTheFormatAsFileType) {
  int32_t type = KPcmFiles::kRawMono8;
  for (auto [channels, bits] : {std::pair{1, 8}, {1, 16}, {2, 8}, {2, 16}}) {
    SCOPED_TRACE(type);
    const std::string path = PathOf("r" + std::to_string(type) + ".pcm");
    GiveVoice(Voice(2), channels, bits, 1001, 22050);
    ASSERT_TRUE(Voice(2).SaveRawPcmFile(path));
    EXPECT_EQ(Voice(2).FileType, type);
    EXPECT_EQ(Voice(2).SampleRate, 22050);  // kept in memory
    std::vector<uint8_t> expected = Bytes(Voice(2));
    expected.resize(expected.size() & ~size_t(3));
    EXPECT_EQ(ReadBytes(path), expected);
    ASSERT_TRUE(Voice(2).ReloadFromOwnFile());
    EXPECT_EQ(Voice(2).SampleRate, 8000);
    EXPECT_EQ(std::tie(Voice(2).Channels, Voice(2).BitsPerSample), std::tie(channels, bits));
    EXPECT_EQ(Bytes(Voice(2)), expected);
    ++type;
  }
}

}  // namespace
