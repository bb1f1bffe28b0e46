#include <gtest/gtest.h>

#include "FileFixture.h"
#include "voice/MxvKeyStream.h"

namespace {

// Files are written from the copy buffer, which the duplicate-file check
// leaves out, so that the banks can load them.
using Mxv = FileFixture;

constexpr size_t kHeader = 128;

// The key pair a saved file's header selects from its table.
KMxvKeyStream KeysOf(const std::vector<uint8_t>& file) {
  return KMxvKeyStream(file[0x1A + file[0x18]], file[0x1A + file[0x19]]);
}

TEST_F(Mxv, HeaderFieldsAndDataLengthRoundedToFour) {
  GiveVoice(Current(), 1, 8, 5003, 16000);      // more than one 4096-byte block
  Current().SetAlias("twenty-one characters");  // cut to 19
  const std::string path = PathOf("a.mxv");
  ASSERT_TRUE(Current().SaveMxvFile(path));
  std::vector<uint8_t> f = ReadBytes(path);
  ASSERT_EQ(f.size(), kHeader + 5000);
  EXPECT_EQ(std::string(f.begin(), f.begin() + 16), std::string("Melotrix Format\0", 16));
  EXPECT_EQ(std::string(f.begin() + 16, f.begin() + 20), std::string("MXV\0", 4));
  EXPECT_EQ(GetLe(&f[0x14], 4), 0x00020001u);
  EXPECT_LE(f[0x18], 61);
  EXPECT_LE(f[0x19], 61);
  EXPECT_EQ(GetLe(&f[0x58], 4), 1u);
  EXPECT_EQ(GetLe(&f[0x5C], 4), 8u);
  EXPECT_EQ(GetLe(&f[0x60], 4), 16000u);
  EXPECT_EQ(GetLe(&f[0x64], 4), 128u);
  EXPECT_EQ(GetLe(&f[0x68], 4), 5000u);
  EXPECT_EQ(std::string(f.begin() + 0x6C, f.end() - 5000), std::string("twenty-one characte") + '\0');

  // The data is the voice scrambled with one key stream running across blocks.
  std::vector<uint8_t> plain = Bytes(Current());
  plain.resize(5000);
  KeysOf(f).Scramble(plain.data(), plain.size());
  EXPECT_TRUE(std::equal(plain.begin(), plain.end(), f.begin() + kHeader));
}

TEST_F(Mxv, KeyStreamSwapsPairsStepsAndWraps) {
  std::vector<uint8_t> data = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
  KMxvKeyStream keys(0xFF, 0x00);
  keys.Scramble(data.data(), data.size());
  // (p1 ^ B, p0 ^ A) with A 0xFF, 0x00, 0x01 and B 0x00, 0xFF, 0xFE.
  EXPECT_EQ(data, (std::vector<uint8_t>{0x20 ^ 0x00, 0x10 ^ 0xFF, 0x40 ^ 0xFF, 0x30 ^ 0x00, 0x60 ^ 0xFE,
                                        0x50 ^ 0x01}));
  EXPECT_EQ(keys.KeyA(), 0x02);
  EXPECT_EQ(keys.KeyB(), 0xFD);
}

TEST_F(Mxv, SameSecondGivesIdenticalFilesOtherSecondsOtherKeys) {
  GiveVoice(Voice(0), 2, 16, 500);
  int64_t now = 1700000000;
  Voice(0).SecondsClock = [&now] { return now; };
  ASSERT_TRUE(Voice(0).SaveMxvFile(PathOf("a.mxv")));
  ASSERT_TRUE(Voice(0).SaveMxvFile(PathOf("b.mxv")));
  now += 1;
  ASSERT_TRUE(Voice(0).SaveMxvFile(PathOf("c.mxv")));
  std::vector<uint8_t> a = ReadBytes(PathOf("a.mxv")), b = ReadBytes(PathOf("b.mxv")),
                       c = ReadBytes(PathOf("c.mxv"));
  EXPECT_EQ(a, b);
  EXPECT_FALSE(std::equal(a.begin() + 0x1A, a.begin() + 0x58, c.begin() + 0x1A));
  EXPECT_FALSE(std::equal(a.begin() + kHeader, a.end(), c.begin() + kHeader));
  ASSERT_TRUE(Voice(2).LoadMxvFile(PathOf("a.mxv")));
  ASSERT_TRUE(Voice(3).LoadMxvFile(PathOf("c.mxv")));
  EXPECT_EQ(Bytes(Voice(2)), Bytes(Voice(0)));
  EXPECT_EQ(Bytes(Voice(3)), Bytes(Voice(0)));
}

TEST_F(Mxv, EmptyAndShortenedDataLengths) {
  const std::string path = PathOf("e.mxv");
  ASSERT_TRUE(Voice(0).SaveMxvFile(path));  // a cleared voice: data length 0
  ASSERT_EQ(ReadBytes(path).size(), kHeader);
  GiveVoice(Voice(2), 1, 8, 10);
  ASSERT_TRUE(Voice(2).LoadMxvFile(path));
  ExpectMarkedWhole(Voice(2), 0);
  EXPECT_EQ(Voice(2).Storage->Size(), 16);

  GiveVoice(Voice(0), 1, 8, 4004);
  const std::string odd = PathOf("odd.mxv");
  ASSERT_TRUE(Voice(0).SaveMxvFile(odd));
  Patch(odd, 0x68, 4003, 4);
  ASSERT_TRUE(Voice(4).LoadMxvFile(odd));
  EXPECT_EQ(Voice(4).END, 4000);
  std::vector<uint8_t> expected = Bytes(Voice(0));
  expected.resize(4000);
  EXPECT_EQ(Bytes(Voice(4)), expected);
}

TEST_F(Mxv, RateBoundsAcceptedAndRefused) {
  const std::string path = PathOf("r.mxv");
  GiveVoice(Voice(0), 1, 8, 8);
  ASSERT_TRUE(Voice(0).SaveMxvFile(path));
  for (uint32_t rate : {2100u, 44100u}) {
    Patch(path, 0x60, rate, 4);
    EXPECT_TRUE(Voice(2).LoadMxvFile(path));
    EXPECT_EQ(Voice(2).SampleRate, int32_t(rate));
  }
  for (uint32_t rate : {2099u, 44101u, 0xFFFFFFFFu}) {
    Patch(path, 0x60, rate, 4);
    EXPECT_FALSE(Voice(2).LoadMxvFile(path));
    EXPECT_EQ(LastMessage(), NotValid(path, "MXV"));
  }
}

// Every broken header is refused with Error 001 before the voice changes.
TEST_F(Mxv, BrokenHeadersAreRefusedAndTheVoiceKept) {
  const std::string path = PathOf("bad.mxv");
  GiveVoice(Voice(0), 2, 16, 100);
  ASSERT_TRUE(Voice(0).SaveMxvFile(path));
  const std::vector<uint8_t> good = ReadBytes(path);
  struct Break {
    size_t offset;
    uint32_t value;
    int bytes;
  };
  const Break breaks[] = {
      {0x00, 'm', 1}, {0x0F, '!', 1},         {0x10, 'W', 1},         {0x13, 'X', 1}, {0x58, 0, 2},
      {0x58, 3, 2},   {0x5C, 12, 2},          {0x5C, 0, 2},           {0x18, 62, 1},  {0x19, 255, 1},
      {0x68, 404, 4}, {0x68, 0x80000000u, 4}, {0x64, 0xFFFFFFF0u, 4}, {0x64, 200, 4},
  };
  GiveVoice(Voice(2), 1, 8, 77, 8000);
  Voice(2).FileName = PathOf("other.wav");
  Voice(2).FileType = KPcmFiles::kWav;
  const State before = StateOf(Voice(2));
  for (const Break& b : breaks) {
    SCOPED_TRACE(b.offset);
    WriteBytes(path, good);
    Patch(path, b.offset, b.value, b.bytes);
    EXPECT_FALSE(Voice(2).LoadMxvFile(path));
    EXPECT_EQ(LastMessage(), NotValid(path, "MXV"));
    EXPECT_EQ(StateOf(Voice(2)), before);
  }
  for (size_t size : {size_t(0), size_t(127)}) {
    WriteBytes(path, std::vector<uint8_t>(good.begin(), good.begin() + long(size)));
    EXPECT_FALSE(Voice(2).LoadMxvFile(path));
    EXPECT_EQ(StateOf(Voice(2)), before);
  }
  EXPECT_FALSE(Voice(2).LoadMxvFile(PathOf("missing.mxv")));
  EXPECT_EQ(LastMessage(), NotValid(PathOf("missing.mxv"), "MXV"));
  EXPECT_EQ(messages_.size(), std::size(breaks) + 3);
}

}  // namespace
