#include <gtest/gtest.h>

#include "FileFixture.h"

namespace {

using Voc = FileFixture;

// A VOC file header of the given version pair, first block at 26.
std::vector<uint8_t> VocHeader(uint32_t version = 0x0114, uint32_t check = 0x111F) {
  std::string id = "Creative Voice File\x1A";
  std::vector<uint8_t> h(id.begin(), id.end());
  h.resize(26);
  PutLe(&h[20], 26, 2);
  PutLe(&h[22], version, 2);
  PutLe(&h[24], check, 2);
  return h;
}

// A block of `type` with `body` and `data`; the length field counts both.
std::vector<uint8_t> Block(uint8_t type, const std::vector<uint8_t>& body, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> b(4);
  b[0] = type;
  PutLe(&b[1], uint32_t(body.size() + data.size()), 3);
  b.insert(b.end(), body.begin(), body.end());
  b.insert(b.end(), data.begin(), data.end());
  return b;
}

std::vector<uint8_t> Type9Body(uint32_t rate, uint8_t bits, uint8_t channels) {
  std::vector<uint8_t> body(12, 0);
  PutLe(&body[0], rate, 4);
  body[4] = bits;
  body[5] = channels;
  return body;
}

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class VocLoad : public Voc {
 protected:
  bool Load(const std::vector<uint8_t>& file) {
    WriteBytes(path_, file);
    return Voice(2).LoadVocFile(path_);
  }
  const std::string path_ = PathOf("in.voc");
};

TEST_F(Voc, SavedFileIsOneTypeNineBlockWithoutTerminator) {
  GiveVoice(Voice(0), 2, 16, 1000, 22050);
  const std::string path = PathOf("s.voc");
  ASSERT_TRUE(Voice(0).SaveVocFile(path));
  std::vector<uint8_t> f = ReadBytes(path);
  ASSERT_EQ(f.size(), 42u + 4000);
  std::vector<uint8_t> expected =
      VocHeader() + std::vector<uint8_t>{9, 0xAC, 0x0F, 0x00, 0x22, 0x56, 0, 0, 16, 2, 4, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 42), expected);
  EXPECT_EQ(std::vector<uint8_t>(f.begin() + 42, f.end()), Bytes(Voice(0)));

  GiveVoice(Voice(0), 1, 8, 4003, 8000);
  ASSERT_TRUE(Voice(0).SaveVocFile(path));
  f = ReadBytes(path);
  ASSERT_EQ(f.size(), 42u + 4000);
  EXPECT_EQ(GetLe(&f[27], 3), 4012u);
  EXPECT_EQ(GetLe(&f[36], 2), 0u);  // format code of 8-bit samples
}

TEST_F(VocLoad, TypeOneRateFromTimeConstantAndLengthNotRounded) {
  for (auto [constant, rate] : {std::pair{131, 8000}, {165, 10975}, {0, 3900}}) {
    std::vector<uint8_t> data = Pattern(1000, uint32_t(constant));
    ASSERT_TRUE(Load(VocHeader() + Block(1, {uint8_t(constant), 0}, data)));
    EXPECT_EQ(Voice(2).SampleRate, rate);
    EXPECT_EQ(std::tie(Voice(2).Channels, Voice(2).BitsPerSample), std::make_tuple(1, 8));
    ExpectMarkedWhole(Voice(2), 1000);
    EXPECT_EQ(Bytes(Voice(2)), data);
  }
}

TEST_F(VocLoad, TypeNineAndBothVersions) {
  std::vector<uint8_t> data = Pattern(4000);
  ASSERT_TRUE(Load(VocHeader(0x010A, 0x1129) + Block(9, Type9Body(22050, 16, 2), data)));
  ExpectMarkedWhole(Voice(2), 1000);
  EXPECT_EQ(Bytes(Voice(2)), data);
  EXPECT_EQ(std::tie(Voice(2).Channels, Voice(2).BitsPerSample, Voice(2).SampleRate),
            std::make_tuple(2, 16, 22050));
  // Neither the identification text nor the bytes after the block are read.
  std::vector<uint8_t> file = VocHeader() + Block(9, Type9Body(11127, 8, 1), data) + std::vector<uint8_t>{0};
  std::fill(file.begin(), file.begin() + 19, 'x');
  ASSERT_TRUE(Load(file));
  EXPECT_EQ(Voice(2).SampleRate, 11125);
  ExpectMarkedWhole(Voice(2), 4000);
  // The header size field says where the first block is.
  file = VocHeader() + std::vector<uint8_t>(6, 0xEE) + Block(1, {131, 0}, data);
  file[20] = 32;
  ASSERT_TRUE(Load(file));
  EXPECT_EQ(Bytes(Voice(2)), data);
}

TEST_F(VocLoad, RefusalsLeaveTheVoiceAsItWas) {
  GiveVoice(Voice(2), 2, 8, 50, 8000);
  const State before = StateOf(Voice(2));
  const std::string notValid = NotValid(path_, "VOC");
  const std::vector<uint8_t> data = Pattern(400);
  auto refused = [&](const std::vector<uint8_t>& file, const std::string& message) {
    EXPECT_FALSE(Load(file));
    EXPECT_EQ(LastMessage(), message);
    EXPECT_EQ(StateOf(Voice(2)), before);
  };
  refused(VocHeader(0x0114, 0x1129) + Block(1, {131, 0}, data), notValid);
  refused(VocHeader(0x010A, 0x111F) + Block(1, {131, 0}, data), notValid);
  std::vector<uint8_t> badEnd = VocHeader() + Block(1, {131, 0}, data);
  badEnd[19] = 0;
  refused(badEnd, notValid);
  refused(VocHeader(), notValid);  // no block header
  refused(VocHeader() + std::vector<uint8_t>{1, 4, 0}, notValid);
  std::vector<uint8_t> negative = VocHeader() + Block(1, {131, 0}, data);
  negative[21] = 0xFF;
  refused(negative, notValid);
  std::vector<uint8_t> shortHeader = VocHeader();
  shortHeader.pop_back();
  refused(shortHeader, notValid);

  refused(VocHeader() + Block(3, {0x10, 0x00, 131}, {}),
          KFormatMessage(msg::kVocBlockType, path_.c_str(), 3));
  refused(VocHeader() + Block(5, {'h', 'i', 0}, {}), KFormatMessage(msg::kVocBlockType, path_.c_str(), 5));
  refused(VocHeader() + Block(1, {131, 1}, data), KFormatMessage(msg::kVocPacking, path_.c_str(), 1));

  refused(VocHeader() + Block(1, {131}, {}), notValid);  // shorter than its body header
  refused(VocHeader() + Block(9, std::vector<uint8_t>(11, 0), {}), notValid);
  refused(VocHeader() + Block(9, Type9Body(8000, 8, 3), data), notValid);
  refused(VocHeader() + Block(9, Type9Body(8000, 12, 1), data), notValid);
  refused(VocHeader() + Block(9, Type9Body(0x80000000u, 8, 1), data), notValid);
  std::vector<uint8_t> cut = VocHeader() + Block(9, Type9Body(8000, 8, 1), data);
  cut.pop_back();
  refused(cut, notValid);
}

TEST_F(Voc, VoiceTooLongForOneBlockIsNotSaved) {
  const std::string path = PathOf("long.voc");
  WriteBytes(path, {1, 2, 3});
  KPcmFiles& v = Voice(0);
  ASSERT_TRUE(v.Storage->Resize(0xFFFFFF - 12 + 1));
  v.END = v.MKR = 0xFFFFFF - 12 + 1;  // mono 8-bit: L + 12 passes 0xFFFFFF by 4 after rounding
  v.MKL = v.FLG = v.ZiStart = 1;
  const State before = StateOf(v);
  EXPECT_FALSE(v.SaveVocFile(path));
  EXPECT_EQ(LastMessage(), KFormatMessage(msg::kVocTooLong, path.c_str()));
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(StateOf(v), before);
}

}  // namespace
