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

// The file type remembers the raw format, so that "Save" and the reload
// use it again; the rate lives only in memory.
TEST_F(Raw, SavedFormatBecomesTheFileType) {
  const std::string path = PathOf("s8.pcm");
  GiveVoice(Voice(2), 2, 8, 1001, 22050);
  ASSERT_TRUE(Voice(2).SaveRawPcmFile(path));
  EXPECT_EQ(Voice(2).FileType, KPcmFiles::kRawStereo8);
  EXPECT_EQ(Voice(2).SampleRate, 22050);
  std::vector<uint8_t> expected = Bytes(Voice(2));
  expected.resize(2000);
  EXPECT_EQ(ReadBytes(path), expected);
  ASSERT_TRUE(Voice(2).ReloadFromOwnFile());
  EXPECT_EQ(std::tie(Voice(2).Channels, Voice(2).BitsPerSample, Voice(2).SampleRate),
            std::make_tuple(2, 8, 8000));
  EXPECT_EQ(Bytes(Voice(2)), expected);
}

}  // namespace
