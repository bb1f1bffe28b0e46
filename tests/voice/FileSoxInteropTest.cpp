// Files written by sox load with the right format and samples, and sox reads
// the WAV and VOC files Melotrix writes. sox runs with -D: without it, it
// dithers and its output differs from run to run.
#include <cstdio>

#include "FileFixture.h"

namespace {

using Sox = FileFixture;

const std::tuple<int32_t, int32_t, int32_t> kFormats[] = {{1, 8, 8000}, {1, 16, 11025}, {2, 8, 22050}, {2, 16, 44100}};

// The output of `command`, or a failure text when it fails.
std::string Shell(const std::string& command) {
  std::string output;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  char buffer[256];
  while (size_t n = pipe ? fread(buffer, 1, sizeof buffer, pipe) : 0) output.append(buffer, n);
  return pipe && pclose(pipe) == 0 ? output : "failed: " + command + "\n" + output;
}
// sox's options for a sample format and rate.
std::string Options(int32_t channels, int32_t bits, int32_t rate) {
  return "-r " + std::to_string(rate) + " -c " + std::to_string(channels) + " -b " + std::to_string(bits) +
         (bits == 8 ? " -e unsigned-integer" : " -e signed-integer -L");
}

TEST_F(Sox, LoadsWavAndVocFilesSoxWrote) {
  for (auto [channels, bits, rate] : kFormats) {
    const std::string sox = "sox -D -n " + Options(channels, bits, rate) + " ", sweep = " synth 0.1 sine 300-3000";
    SCOPED_TRACE(sox);
    ASSERT_EQ(Shell(sox + PathOf("s.raw") + sweep), "");
    const std::vector<uint8_t> samples = ReadBytes(PathOf("s.raw"));
    for (Kind kind : {Kind::Wav, Kind::Voc}) {
      const std::string path = PathOf(kind == Kind::Wav ? "s.wav" : "s.voc");
      ASSERT_EQ(Shell(sox + path + sweep), "");
      KPcmFiles& v = Voice(1);
      if (kind == Kind::Voc && channels == 2 && bits == 8) {  // sox writes a type 8 block
        EXPECT_FALSE(v.LoadVocFile(path));
        EXPECT_EQ(LastMessage(), Text(KLoadMessageText(msg::kVocBlockType), {path, "8"}));
        continue;
      }
      ASSERT_TRUE(LoadAs(v, kind, path));
      // WAV: the data length rounded down to 4. VOC: as the block length says, which sox's 16-bit
      // type 9 block gives 8 bytes short; its 8-bit type 1 block gives a time constant (byte 30).
      const size_t n = kind == Kind::Wav ? samples.size() & ~size_t(3) : samples.size() - (bits == 16 ? 8 : 0);
      const int32_t loaded = kind == Kind::Voc && bits == 8 ? 1000000 / (256 - ReadBytes(path)[30]) / 25 * 25 : rate;
      EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample, v.SampleRate), std::tie(channels, bits, loaded));
      EXPECT_EQ(Bytes(v), std::vector<uint8_t>(samples.begin(), samples.begin() + long(n)));
    }
  }
}

TEST_F(Sox, ReadsWavAndVocFilesMelotrixWrote) {
  for (auto [channels, bits, rate] : kFormats) {
    SCOPED_TRACE(Options(channels, bits, rate));
    GiveVoice(Voice(1), channels, bits, 3001, rate);
    std::vector<uint8_t> samples = Bytes(Voice(1));
    samples.resize(samples.size() & ~size_t(3));
    for (Kind kind : {Kind::Wav, Kind::Voc}) {
      const std::string path = PathOf(kind == Kind::Wav ? "m.wav" : "m.voc"), raw = PathOf("m.raw");
      ASSERT_TRUE(SaveAs(Voice(1), kind, path));
      std::string info;
      for (const char* option : {"-c ", "-r ", "-b "}) info += Shell("soxi " + (option + path));
      EXPECT_EQ(info, std::to_string(channels) + "\n" + std::to_string(rate) + "\n" + std::to_string(bits) + "\n");
      EXPECT_EQ(Shell("sox -D " + path + " " + Options(channels, bits, rate) + " " + raw), "");
      EXPECT_EQ(ReadBytes(raw), samples);
    }
  }
}

}  // namespace
