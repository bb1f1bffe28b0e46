#include <gtest/gtest.h>

#include "FileFixture.h"

namespace {

using Wav = FileFixture;

// A chunk: id, size and body, with the pad byte after an odd body when asked.
std::vector<uint8_t> Chunk(const char* id, const std::vector<uint8_t>& body, bool pad = true) {
  std::vector<uint8_t> c(id, id + 4);
  c.resize(8);
  PutLe(&c[4], uint32_t(body.size()), 4);
  c.insert(c.end(), body.begin(), body.end());
  if (pad && body.size() % 2 == 1) c.push_back(0);
  return c;
}

struct WavSpec {
  uint32_t tag = 1, channels = 1, rate = 22050, align = 1, bits = 8;
  size_t fmtExtra = 0;                      // bytes beyond the 16 of a plain "fmt " chunk
  std::vector<std::vector<uint8_t>> extra;  // chunks between "fmt " and "data"
  std::vector<uint8_t> data = Pattern(100);
  int64_t dataSize = -1;  // the size field, when not data.size()
};

std::vector<uint8_t> WavBytes(const WavSpec& s) {
  std::vector<uint8_t> fmt(16 + s.fmtExtra, 0);
  PutLe(&fmt[0], s.tag, 2);
  PutLe(&fmt[2], s.channels, 2);
  PutLe(&fmt[4], s.rate, 4);
  PutLe(&fmt[8], s.rate * s.align, 4);
  PutLe(&fmt[12], s.align, 2);
  PutLe(&fmt[14], s.bits, 2);
  std::vector<uint8_t> f = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  std::vector<uint8_t> fmtChunk = Chunk("fmt ", fmt);
  f.insert(f.end(), fmtChunk.begin(), fmtChunk.end());
  for (const auto& chunk : s.extra) f.insert(f.end(), chunk.begin(), chunk.end());
  std::vector<uint8_t> data = Chunk("data", s.data, false);
  if (s.dataSize >= 0) PutLe(&data[4], uint32_t(s.dataSize), 4);
  f.insert(f.end(), data.begin(), data.end());
  PutLe(&f[4], uint32_t(f.size() - 8), 4);
  return f;
}

// Loads `spec` into bank 2; true when it loaded.
class WavLoad : public Wav {
 protected:
  bool Load(const WavSpec& spec) {
    WriteBytes(path_, WavBytes(spec));
    return Voice(2).LoadWavFile(path_);
  }
  const std::string path_ = PathOf("in.wav");
};

TEST_F(Wav, SavedHeaderIsTheCanonicalFortyFourBytes) {
  GiveVoice(Voice(0), 2, 16, 1000, 22050);
  const std::string path = PathOf("s.wav");
  ASSERT_TRUE(Voice(0).SaveWavFile(path));
  std::vector<uint8_t> f = ReadBytes(path);
  ASSERT_EQ(f.size(), 4044u);
  std::vector<uint8_t> expected = {'R', 'I', 'F',  'F',  0xC4, 0x0F, 0,    0,    'W',  'A', 'V',
                                   'E', 'f', 'm',  't',  ' ',  16,   0,    0,    0,    1,   0,
                                   2,   0,   0x22, 0x56, 0,    0,    0x88, 0x58, 0x01, 0,   4,
                                   0,   16,  0,    'd',  'a',  't',  'a',  0xA0, 0x0F, 0,   0};
  EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 44), expected);
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + 44, f.end()), Bytes(Voice(0)));

  GiveVoice(Voice(0), 1, 8, 4003);
  ASSERT_TRUE(Voice(0).SaveWavFile(path));
  f = ReadBytes(path);
  EXPECT_EQ(f.size(), 44u + 4000);
  EXPECT_EQ(GetLe(&f[40], 4), 4000u);
}

TEST_F(WavLoad, ChunkSearchToleratesOneChunkBeforeData) {
  WavSpec spec;
  ASSERT_TRUE(Load(spec));
  ExpectMarkedWhole(Voice(2), 100);
  EXPECT_EQ(Bytes(Voice(2)), spec.data);

  spec.extra = {Chunk("LIST", Pattern(26))};
  EXPECT_TRUE(Load(spec));
  spec.fmtExtra = 2;  // an 18-byte "fmt " chunk
  EXPECT_TRUE(Load(spec));
  EXPECT_EQ(Bytes(Voice(2)), spec.data);

  // An odd-sized chunk, with its pad byte as RIFF wants it or without.
  spec.extra = {Chunk("fact", Pattern(5), true)};
  EXPECT_TRUE(Load(spec));
  EXPECT_EQ(Bytes(Voice(2)), spec.data);
  spec.extra = {Chunk("fact", Pattern(5), false)};
  EXPECT_TRUE(Load(spec));
  EXPECT_EQ(Bytes(Voice(2)), spec.data);

  spec.extra = {Chunk("fact", {1, 2, 3, 4}), Chunk("LIST", {5, 6})};
  EXPECT_FALSE(Load(spec));
  EXPECT_EQ(LastMessage(), KFormatMessage(msg::kNoDataChunk, path_.c_str()));
  EXPECT_EQ(Bytes(Voice(2)), spec.data);
}

TEST_F(WavLoad, WidthComesFromTheBlockAlignmentRateRoundsDown) {
  WavSpec spec;
  spec.channels = 2;
  spec.align = 4;
  spec.bits = 8;  // disagrees: the alignment wins
  spec.rate = 11127;
  spec.data = Pattern(10);
  ASSERT_TRUE(Load(spec));
  EXPECT_EQ(Voice(2).BitsPerSample, 16);
  EXPECT_EQ(Voice(2).SampleRate, 11125);
  ExpectMarkedWhole(Voice(2), 2);  // data size 10 loads 8 bytes
  EXPECT_EQ(Bytes(Voice(2)), std::vector<uint8_t>(spec.data.begin(), spec.data.begin() + 8));
}

TEST_F(WavLoad, RefusalsNameTheRightError) {
  GiveVoice(Voice(2), 1, 16, 33, 8000);
  const State before = StateOf(Voice(2));
  const std::string notValid = NotValid(path_, "WAV");
  const std::string compressed = KFormatMessage(msg::kCompressedWav, path_.c_str());
  auto refused = [&](const WavSpec& spec, const std::string& message) {
    EXPECT_FALSE(Load(spec));
    EXPECT_EQ(LastMessage(), message);
    EXPECT_EQ(StateOf(Voice(2)), before);
  };
  WavSpec s;
  s.rate = 2099;
  refused(s, notValid);
  s.rate = 44101;
  refused(s, notValid);
  s = {};
  s.tag = 3;
  refused(s, compressed);
  s.tag = 2;
  refused(s, compressed);
  s.rate = 48000;  // the rate is checked before the tag
  refused(s, notValid);
  for (auto [channels, align] : {std::pair{0u, 1u}, {3u, 3u}, {2u, 0u}, {2u, 3u}, {1u, 3u}, {1u, 4u}}) {
    s = {};
    s.channels = channels;
    s.align = align;
    refused(s, notValid);
  }
  s = {};
  s.dataSize = 0x80000000u;
  refused(s, notValid);
  s.dataSize = 104;  // more than the file holds
  refused(s, notValid);

  std::vector<uint8_t> good = WavBytes(WavSpec{});
  good[0] = 'r';
  WriteBytes(path_, good);
  EXPECT_FALSE(Voice(2).LoadWavFile(path_));
  EXPECT_EQ(LastMessage(), notValid);
  good = WavBytes(WavSpec{});
  for (size_t size : {size_t(0), size_t(35), size_t(36), size_t(43)}) {
    WriteBytes(path_, std::vector<uint8_t>(good.begin(), good.begin() + long(size)));
    EXPECT_FALSE(Voice(2).LoadWavFile(path_));
    EXPECT_EQ(LastMessage(), size < 36 ? notValid : KFormatMessage(msg::kNoDataChunk, path_.c_str()));
  }
  EXPECT_EQ(StateOf(Voice(2)), before);
}

}  // namespace
