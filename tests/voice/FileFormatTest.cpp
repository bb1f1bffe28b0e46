// The four file formats: the MXV key stream, and tables of edited files that the loaders accept or refuse.
#include <sys/stat.h>

#include "VoiceTests.h"
#include "formats/MxvKeyStream.h"

namespace {

// Loads into bank 2 the edited file of a mono 8-bit voice of 100 frames at 22050 Hz, saved from the copy buffer (which
// the duplicate-file check leaves out).
class Formats : public VoiceTests {
 protected:
  Formats() { GiveVoice(Voice(0), 1, 8, 100); }
  bool Load(Kind kind, const std::vector<Edit>& edits, int32_t channels = 1, int32_t bits = 8) {
    EXPECT_TRUE(SaveAs(Voice(0), kind, path_));
    WriteBytes(path_, Edited(ReadBytes(path_), edits));
    return LoadAs(Voice(2), kind, path_, channels, bits);
  }
  static constexpr Kind M = Kind::Mxv, W = Kind::Wav, V = Kind::Voc, R = Kind::Raw;  // for the tables
  const std::string path_ = PathOf("in.bin");
};

// (p1 ^ B, p0 ^ A) with A 0xFF, 0x00, 0x01 and B 0x00, 0xFF, 0xFE; loading unscrambles what the round trips save.
TEST(MxvKeyStream, SwapsPairsStepsAndWraps) {
  std::vector<uint8_t> data = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
  KMxvKeyStream keys(0xFF, 0x00);
  keys.Scramble(data.data(), data.size());
  EXPECT_EQ(data, (std::vector<uint8_t>{0x20, 0x10 ^ 0xFF, 0x40 ^ 0xFF, 0x30, 0x60 ^ 0xFE, 0x50 ^ 0x01}));
  EXPECT_EQ(std::make_pair(keys.KeyA(), keys.KeyB()), std::make_pair(uint8_t(0x02), uint8_t(0xFD)));
}

// The samples loaded are the file's bytes from `at` on (MXV, -1: the saved voice's). An MXV alias of 20 bytes without
// its NUL ends at its field: the samples right after it are samples.
TEST_F(Formats, AcceptedFiles) {
  struct Row {
    Kind kind;
    std::vector<Edit> edits;
    int32_t at, rate = 22050, frames = 100, channels = 1, bits = 8;
  };
  const std::string fact = "fact" + Le(5, 4) + "abcde", type1 = "\1" + Le(102, 3);
  // MXV: the rates at the ends of the range, no frames, a rate down to 25 and a length down to 4, a full alias. WAV: no
  // frames, the rates at the ends, an 18-byte "fmt " chunk, the width from the block alignment and not from the bits
  // field (data size 10 loads 8 bytes), one chunk before "data" (an odd-sized one with the pad byte RIFF wants, or
  // without). VOC: type 9; type 1, the rate from the time constant and the length not rounded; neither the
  // identification text nor what follows the block is read, the header size says where it is. Raw: down to 4 bytes.
  // clang-format off
  const Row rows[] = {
      {M, {{0x60, Le(2100, 4)}}, -1, 2100}, {M, {{0x60, Le(44100, 4)}}, -1, 44100}, {M, {{0x68, "\0"s}}, -1, 22050, 0},
      {M, {{0x60, Le(11127, 4)}, {0x68, "\x63"}}, -1, 11125, 96}, {M, {{0x6C, "ABCDEFGHIJKLMNOPQRST"}}, -1},
      {W, {{40, "\0"s}}, 44, 22050, 0}, {W, {{24, Le(2100, 4)}}, 44, 2100}, {W, {{24, Le(44100, 4)}}, 44, 44100},
      {W, {{16, "\x12"}, {36, "\0\0"s, '+'}}, 46},
      {W, {{22, "\2"}, {24, Le(11127, 4)}, {32, "\4"}, {40, "\x0A"}}, 44, 11125, 2, 2, 16},
      {W, {{36, "LIST" + Le(26, 4) + std::string(26, 'x'), '+'}}, 78}, {W, {{36, fact + '\0', '+'}}, 58},
      {W, {{36, fact, '+'}}, 57},
      {V, {{30, Le(11127, 4) + "\x10\2"}}, 42, 11125, 25, 2, 16},
      {V, {{26, "\1" + Le(103, 3) + "\x83\0"s}}, 32, 8000, 101},
      {V, {{26, type1 + "\xA5\0"s}}, 32, 10975}, {V, {{26, type1 + "\0\0"s}}, 32, 3900},
      {V, {{22, Le(0x010A, 2) + Le(0x1129, 2)}}, 42}, {V, {{0, std::string(19, 'x')}, {142, "\0"s, '+'}}, 42},
      {V, {{20, "\x20"}, {26, std::string(6, 'x'), '+'}}, 48},
      {R, {{10, "", '<'}}, 0, 8000, 8}, {R, {{10, "", '<'}}, 0, 8000, 2, 2, 16},
      {R, {{3, "", '<'}}, 0, 8000, 0, 1, 16}};
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(&r - rows);
    ASSERT_TRUE(Load(r.kind, r.edits, r.channels, r.bits));
    const KPcmFiles& v = Voice(2);
    EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample, v.SampleRate, v.END, v.MKR),
              std::tie(r.channels, r.bits, r.rate, r.frames, r.frames));
    EXPECT_EQ(std::tie(v.MKL, v.FLG, v.ZiStart), std::make_tuple(r.frames > 0, r.frames > 0, r.frames > 0));
    const std::vector<uint8_t> file = ReadBytes(path_), voice = Bytes(Voice(0));
    auto from = r.at < 0 ? voice.begin() : file.begin() + r.at;
    EXPECT_EQ(Bytes(Voice(2)), std::vector<uint8_t>(from, from + r.frames * v.FrameBytes()));
    EXPECT_TRUE(r.frames > 0 || v.Storage->Size() == 16);  // 0 bytes cannot be mapped
  }
}

// Every refusal keeps the voice's samples, format, markers and names, and drops its undo snapshots (they go before the
// file is looked at).
TEST_F(Formats, RefusedFiles) {
  struct Row {
    Kind kind;
    std::vector<Edit> edits;
    const char* text = kNotValid;
    std::string arg = "", path = "";
    int32_t channels = 1;
  };
  const char* type = KLoadMessageText(msg::kVocBlockType);  // VOC texts of our own wording
  const std::string big = Le(0x80000000u, 4), cut, type1 = "\1" + Le(102, 3) + "\x83";
  // MXV: its identification, rate, format, key indices, length, a file cut inside its header. WAV: its "RIFF", rate,
  // compression (the rate is checked first), channels and block alignment that give no known format, chunk sizes past
  // the file, a file cut in its header, no "data" chunk. VOC: its version, its check word, header size, cuts, block
  // type, format, length, packing, a block shorter than its body header. Raw: nothing, or a format no voice has. No
  // file but a regular one is read, so that a load never waits.
  // clang-format off
  const Row rows[] = {
      {M, {{0x0F, "!"}}}, {M, {{0x13, "X"}}}, {M, {{0x60, Le(2099, 4)}}}, {M, {{0x60, Le(44101, 4)}}},
      {M, {{0x58, "\0"s}}}, {M, {{0x58, "\3"}}}, {M, {{0x5C, "\x0C"}}}, {M, {{0x5C, "\0"s}}}, {M, {{0x18, "\x3E"}}},
      {M, {{0x19, "\xFF"}}}, {M, {{0x68, "\x68"}}}, {M, {{0x68, big}}}, {M, {{0x64, "\x81"}}}, {M, {{127, cut, '<'}}},
      {W, {{0, "r"}}}, {W, {{24, Le(2099, 4)}}}, {W, {{24, Le(44101, 4)}}}, {W, {{20, "\3"}}, kCompressed},
      {W, {{20, "\2"}}, kCompressed}, {W, {{20, "\2"}, {24, Le(48000, 4)}}},
      {W, {{22, "\0"s}}}, {W, {{22, "\3"}, {32, "\3"}}}, {W, {{22, "\2"}, {32, "\0"s}}}, {W, {{22, "\2"}, {32, "\3"}}},
      {W, {{32, "\3"}}}, {W, {{32, "\4"}}}, {W, {{40, big}}}, {W, {{40, "\x68"}}}, {W, {{16, big}}},
      {W, {{36, "LIST" + big, '+'}}}, {W, {{0, cut, '<'}}}, {W, {{35, cut, '<'}}}, {W, {{36, cut, '<'}}, kNoData},
      {W, {{43, cut, '<'}}, kNoData}, {W, {{36, "fact" + Le(4, 4) + "abcdLIST" + Le(2, 4) + "ef", '+'}}, kNoData},
      {V, {{24, Le(0x1129, 2)}}}, {V, {{22, Le(0x010A, 2)}}}, {V, {{19, "\0"s}}}, {V, {{25, cut, '<'}}},
      {V, {{26, cut, '<'}}}, {V, {{29, cut, '<'}}}, {V, {{21, "\xFF"}}}, {V, {{141, cut, '<'}}},
      {V, {{26, "\3"}}, type, "3"}, {V, {{34, "\x0C"}}}, {V, {{35, "\3"}}}, {V, {{30, big}}},
      {V, {{26, type1 + "\1"}}, KLoadMessageText(msg::kVocPacking), "1"}, {V, {{26, "\1" + Le(1, 3)}}},
      {V, {{27, Le(11, 3)}}}, {R, {{0, cut, '<'}}}, {R, {}, kNotValid, "", "", 3},
      {M, {}, kNotValid, "", PathOf("gone")}, {W, {}, kNotValid, "", PathOf("fifo")},
      {R, {}, kNotValid, "", dir_.Path()}};
  // clang-format on
  GiveVoice(Voice(2), 2, 16, 33, 8000);
  Voice(2).FileName = PathOf("other.wav");
  Voice(2).FileType = KFileType::Wav;
  const auto before = StateOf(Voice(2));
  ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0600), 0);
  for (const Row& r : rows) {
    SCOPED_TRACE(&r - rows);
    const std::string& path = r.path.empty() ? path_ : r.path;
    ASSERT_TRUE(Voice(2).SaveUndo("Undo : Echo"));
    EXPECT_FALSE(r.path.empty() ? Load(r.kind, r.edits, r.channels) : LoadAs(Voice(2), r.kind, path));
    EXPECT_EQ(LastMessage(), Text(r.text, {path, r.arg.empty() ? kName[int(r.kind)] : r.arg}));
    EXPECT_EQ(StateOf(Voice(2)), before);
  }
}

}  // namespace
