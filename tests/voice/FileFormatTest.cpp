// The four file formats: saved headers byte for byte, the MXV key stream, and
// tables of edited files that the loaders accept or refuse.
#include <sys/stat.h>

#include "FileFixture.h"
#include "voice/MxvKeyStream.h"

namespace {

// Files of a mono 8-bit voice of 100 frames at 22050 Hz in each format, saved
// from the copy buffer, which the duplicate-file check leaves out.
class Formats : public FileFixture {
 protected:
  void SetUp() override {
    GiveVoice(Voice(0), 1, 8, 100);
    for (Kind kind : kKinds) {
      ASSERT_TRUE(SaveAs(Voice(0), kind, path_));
      base_.push_back(ReadBytes(path_));
    }
  }
  bool Load(Kind kind, const std::vector<Edit>& edits, int32_t channels = 1, int32_t bits = 8) {
    WriteBytes(path_, Edited(base_[size_t(kind)], edits));
    return LoadAs(Voice(2), kind, path_, channels, bits);
  }
  const std::string path_ = PathOf("in.bin");
  std::vector<std::vector<uint8_t>> base_;
};

TEST_F(Formats, SavedHeadersByteForByte) {
  // MXV with its key indices and table zeroed: the data length rounded down to 4, the alias cut to 19 characters.
  const std::tuple<Kind, int32_t, int32_t, int32_t, int32_t, std::string> rows[] = {
      {Kind::Wav, 2, 16, 1000, 22050,
       "RIFF\xC4\x0F\0\0WAVEfmt \x10\0\0\0\1\0\2\0\x22\x56\0\0\x88\x58\1\0\4\0\x10\0data\xA0\x0F\0\0"s},
      {Kind::Voc, 2, 16, 1000, 22050,
       "Creative Voice File\x1A\x1A\0\x14\1\x1F\x11\x09\xAC\x0F\0\x22\x56\0\0\x10\2\4\0\0\0\0\0"s},
      {Kind::Mxv, 1, 8, 5003, 16000,
       "Melotrix Format\0MXV\0\1\0\2\0"s + std::string(0x40, '\0') +
           "\1\0\0\0\x08\0\0\0\x80\x3E\0\0\x80\0\0\0\x88\x13\0\0twenty-one characte\0"s}};
  for (const auto& [kind, channels, bits, frames, rate, header] : rows) {
    SCOPED_TRACE(kName[int(kind)]);
    GiveVoice(Voice(0), channels, bits, frames, rate);
    Voice(0).SetAlias("twenty-one characters");
    ASSERT_TRUE(SaveAs(Voice(0), kind, path_));
    std::vector<uint8_t> f = ReadBytes(path_), data = Bytes(Voice(0));
    data.resize(data.size() & ~size_t(3));
    ASSERT_EQ(f.size(), header.size() + data.size());
    if (kind == Kind::Mxv) {  // one key stream runs across the 4096-byte blocks
      EXPECT_LE(std::max(f[0x18], f[0x19]), 61);
      KMxvKeyStream(f[0x1A + f[0x18]], f[0x1A + f[0x19]]).Scramble(data.data(), data.size());
      std::fill(f.begin() + 0x18, f.begin() + 0x58, 0);
    }
    EXPECT_EQ(std::string(f.begin(), f.begin() + long(header.size())), header);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), f.begin() + long(header.size())));
  }
}

TEST(MxvKeyStream, SwapsPairsStepsAndWraps) {
  std::vector<uint8_t> data = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60}, plain = data;
  KMxvKeyStream keys(0xFF, 0x00);
  keys.Scramble(data.data(), data.size());
  // (p1 ^ B, p0 ^ A) with A 0xFF, 0x00, 0x01 and B 0x00, 0xFF, 0xFE.
  EXPECT_EQ(data, (std::vector<uint8_t>{0x20, 0x10 ^ 0xFF, 0x40 ^ 0xFF, 0x30, 0x60 ^ 0xFE, 0x50 ^ 0x01}));
  EXPECT_EQ(std::make_pair(keys.KeyA(), keys.KeyB()), std::make_pair(uint8_t(0x02), uint8_t(0xFD)));
  KMxvKeyStream(0xFF, 0x00).Unscramble(data.data(), data.size());
  EXPECT_EQ(data, plain);
}

TEST_F(Formats, SameSecondGivesIdenticalFilesOtherSecondsOtherKeys) {
  GiveVoice(Voice(0), 2, 16, 500);
  int64_t now = 1700000000;
  Voice(0).SecondsClock = [&now] { return now; };
  std::vector<uint8_t> f[3];
  for (int i = 0; i < 3; ++i) {
    now += i / 2;  // the third save comes a second later
    ASSERT_TRUE(Voice(0).SaveMxvFile(PathOf(std::to_string(i))));
    f[i] = ReadBytes(PathOf(std::to_string(i)));
    ASSERT_TRUE(Voice(2 + i).LoadMxvFile(PathOf(std::to_string(i))));
    EXPECT_EQ(Bytes(Voice(2 + i)), Bytes(Voice(0)));
  }
  EXPECT_EQ(f[0], f[1]);
  EXPECT_FALSE(std::equal(f[0].begin() + 0x1A, f[0].begin() + 0x58, f[2].begin() + 0x1A));
  EXPECT_FALSE(std::equal(f[0].begin() + 128, f[0].end(), f[2].begin() + 128));
}

// The samples loaded are the file's bytes from `at` on (MXV, -1: the saved voice's).
TEST_F(Formats, AcceptedFiles) {
  struct Row { Kind kind; std::vector<Edit> edits; int32_t channels, bits, rate, frames, at; };
  const std::string fact = "fact" + Le(5, 4) + "abcde";
  const Row rows[] = {
      {Kind::Mxv, {{0x60, Le(2100, 4)}}, 1, 8, 2100, 100, -1}, {Kind::Mxv, {{0x60, Le(44100, 4)}}, 1, 8, 44100, 100, -1},
      {Kind::Mxv, {{0x60, Le(11127, 4)}, {0x68, Le(99, 4)}}, 1, 8, 11125, 96, -1},  // down to 25 and to 4
      {Kind::Mxv, {{0x68, Le(0, 4)}}, 1, 8, 22050, 0, -1},
      {Kind::Wav, {{24, Le(2100, 4)}}, 1, 8, 2100, 100, 44}, {Kind::Wav, {{24, Le(44100, 4)}}, 1, 8, 44100, 100, 44},
      // The width comes from the block alignment, not the bits field; data size 10 loads 8 bytes.
      {Kind::Wav, {{22, "\2"}, {24, Le(11127, 4)}, {32, "\4"}, {40, "\x0A"}}, 2, 16, 11125, 2, 44},
      {Kind::Wav, {{40, Le(0, 4)}}, 1, 8, 22050, 0, 44},
      {Kind::Wav, {{16, "\x12"}, {36, "\0\0"s, '+'}}, 1, 8, 22050, 100, 46},  // an 18-byte "fmt " chunk
      // One chunk before "data"; an odd-sized one with the pad byte RIFF wants, or without.
      {Kind::Wav, {{36, "LIST" + Le(26, 4) + std::string(26, 'x'), '+'}}, 1, 8, 22050, 100, 78},
      {Kind::Wav, {{36, fact + '\0', '+'}}, 1, 8, 22050, 100, 58}, {Kind::Wav, {{36, fact, '+'}}, 1, 8, 22050, 100, 57},
      {Kind::Voc, {{30, Le(11127, 4) + "\x10\2"}}, 2, 16, 11125, 25, 42},
      // Type 1: the rate from the time constant, the length not rounded.
      {Kind::Voc, {{26, "\1" + Le(103, 3) + "\x83\0"s}}, 1, 8, 8000, 101, 32},
      {Kind::Voc, {{26, "\1" + Le(102, 3) + "\xA5\0"s}}, 1, 8, 10975, 100, 32},
      {Kind::Voc, {{26, "\1" + Le(102, 3) + "\0\0"s}}, 1, 8, 3900, 100, 32},
      {Kind::Voc, {{22, Le(0x010A, 2) + Le(0x1129, 2)}}, 1, 8, 22050, 100, 42},
      // Neither the identification text nor what follows the block is read; the header size says where it is.
      {Kind::Voc, {{0, std::string(19, 'x')}, {142, "\0"s, '+'}}, 1, 8, 22050, 100, 42},
      {Kind::Voc, {{20, "\x20"}, {26, std::string(6, '\xEE'), '+'}}, 1, 8, 22050, 100, 48},
      {Kind::Raw, {{10, "", '<'}}, 1, 8, 8000, 8, 0}, {Kind::Raw, {{10, "", '<'}}, 2, 16, 8000, 2, 0},
      {Kind::Raw, {{3, "", '<'}}, 1, 16, 8000, 0, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(&r - rows);
    ASSERT_TRUE(Load(r.kind, r.edits, r.channels, r.bits));
    const KPcmFiles& v = Voice(2);
    EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample, v.SampleRate, v.END, v.MKR), std::tie(r.channels, r.bits, r.rate, r.frames, r.frames));
    EXPECT_EQ(std::tie(v.MKL, v.FLG, v.ZiStart), std::make_tuple(r.frames > 0, r.frames > 0, r.frames > 0));
    const std::vector<uint8_t> file = ReadBytes(path_), voice = Bytes(Voice(0));
    auto from = r.at < 0 ? voice.begin() : file.begin() + r.at;
    EXPECT_EQ(Bytes(Voice(2)), std::vector<uint8_t>(from, from + r.frames * v.FrameBytes()));
    EXPECT_TRUE(r.frames > 0 || v.Storage->Size() == 16);  // 0 bytes cannot be mapped
  }
  EXPECT_TRUE(messages_.empty());
}

// Every refusal keeps the voice's samples, format, markers and names, and drops
// its undo snapshots (they go before the file is looked at).
TEST_F(Formats, RefusedFiles) {
  struct Row { Kind kind; std::vector<Edit> edits; const char* text = kNotValid; std::string arg = ""; };
  const char* type = KLoadMessageText(msg::kVocBlockType);  // texts of our own, not the user's manual's
  const std::string big = Le(0x80000000u, 4), type1 = "\1" + Le(102, 3) + "\x83";
  const Row rows[] = {
      {Kind::Mxv, {{0x0F, "!"}}}, {Kind::Mxv, {{0x13, "X"}}}, {Kind::Mxv, {{0x60, Le(2099, 4)}}},
      {Kind::Mxv, {{0x60, Le(44101, 4)}}}, {Kind::Mxv, {{0x58, "\0"s}}}, {Kind::Mxv, {{0x58, "\3"}}},
      {Kind::Mxv, {{0x5C, "\x0C"}}}, {Kind::Mxv, {{0x5C, "\0"s}}},
      {Kind::Mxv, {{0x18, "\x3E"}}}, {Kind::Mxv, {{0x19, "\xFF"}}},
      {Kind::Mxv, {{0x68, Le(104, 4)}}}, {Kind::Mxv, {{0x68, big}}}, {Kind::Mxv, {{0x64, Le(0xFFFFFFF0u, 4)}}},
      {Kind::Mxv, {{0x64, Le(129, 4)}}}, {Kind::Mxv, {{0, "", '<'}}}, {Kind::Mxv, {{127, "", '<'}}},
      {Kind::Wav, {{0, "r"}}}, {Kind::Wav, {{24, Le(2099, 4)}}}, {Kind::Wav, {{24, Le(44101, 4)}}},
      {Kind::Wav, {{20, "\3"}}, kCompressed}, {Kind::Wav, {{20, "\2"}}, kCompressed},
      {Kind::Wav, {{20, "\2"}, {24, Le(48000, 4)}}},  // the rate is checked first
      // Channels and block alignment that give no known format.
      {Kind::Wav, {{22, "\0"s}}}, {Kind::Wav, {{22, "\3"}, {32, "\3"}}}, {Kind::Wav, {{22, "\2"}, {32, "\0"s}}},
      {Kind::Wav, {{22, "\2"}, {32, "\3"}}}, {Kind::Wav, {{32, "\3"}}}, {Kind::Wav, {{32, "\4"}}},
      {Kind::Wav, {{40, big}}}, {Kind::Wav, {{40, Le(104, 4)}}}, {Kind::Wav, {{16, big}}},
      {Kind::Wav, {{36, "LIST" + big, '+'}}}, {Kind::Wav, {{0, "", '<'}}}, {Kind::Wav, {{35, "", '<'}}},
      {Kind::Wav, {{36, "", '<'}}, kNoData}, {Kind::Wav, {{43, "", '<'}}, kNoData},
      {Kind::Wav, {{36, "fact" + Le(4, 4) + "abcdLIST" + Le(2, 4) + "ef", '+'}}, kNoData},
      {Kind::Voc, {{24, Le(0x1129, 2)}}}, {Kind::Voc, {{22, Le(0x010A, 2)}}}, {Kind::Voc, {{19, "\0"s}}},
      {Kind::Voc, {{25, "", '<'}}}, {Kind::Voc, {{26, "", '<'}}}, {Kind::Voc, {{29, "", '<'}}},
      {Kind::Voc, {{21, "\xFF"}}}, {Kind::Voc, {{141, "", '<'}}}, {Kind::Voc, {{26, "\3"}}, type, "3"},
      {Kind::Voc, {{26, "\5"}}, type, "5"}, {Kind::Voc, {{26, type1 + "\1"}}, KLoadMessageText(msg::kVocPacking), "1"},
      {Kind::Voc, {{26, "\1" + Le(1, 3)}}}, {Kind::Voc, {{27, Le(11, 3)}}},  // shorter than the body header
      {Kind::Voc, {{34, "\x0C"}}}, {Kind::Voc, {{35, "\3"}}}, {Kind::Voc, {{30, big}}}, {Kind::Raw, {{0, "", '<'}}}};
  GiveVoice(Voice(2), 2, 16, 33, 8000);
  Voice(2).FileName = PathOf("other.wav");
  Voice(2).FileType = KPcmFiles::kWav;
  const auto before = StateOf(Voice(2));
  for (const Row& r : rows) {
    SCOPED_TRACE(&r - rows);
    ASSERT_TRUE(Voice(2).SaveUndo("Undo : Echo"));
    EXPECT_FALSE(Load(r.kind, r.edits));
    EXPECT_EQ(LastMessage(), Text(r.text, {path_, r.arg.empty() ? kName[int(r.kind)] : r.arg}));
    EXPECT_EQ(StateOf(Voice(2)), before);
    EXPECT_EQ(Voice(2).UndoDepth(), 0);
  }
  // Nothing but a regular file is read, so that a load never waits; raw files load in a known format.
  ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0600), 0);
  WriteBytes(path_, base_[0]);
  for (auto [kind, path, channels] : {std::tuple{Kind::Wav, PathOf("fifo"), 1}, {Kind::Raw, dir_.Path(), 1},
                                      {Kind::Mxv, PathOf("missing"), 1}, {Kind::Raw, path_, 3}}) {
    EXPECT_FALSE(LoadAs(Voice(2), kind, path, channels));
    EXPECT_EQ(LastMessage(), Text(kNotValid, {path, kName[int(kind)]}));
    EXPECT_EQ(StateOf(Voice(2)), before);
  }
}

}  // namespace
