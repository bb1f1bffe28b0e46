// Files written by sox load with the right format and samples, and sox reads
// the files Melotrix writes. sox runs with -D: without it, it dithers and
// its output differs from run to run.
#include <gtest/gtest.h>

#include <cstdio>

#include "FileFixture.h"

namespace {

struct Format {
  int32_t channels, bits, rate;
  // sox's options for this sample format.
  std::string Sox() const {
    return "-c " + std::to_string(channels) + " -b " + std::to_string(bits) +
           (bits == 8 ? " -e unsigned-integer" : " -e signed-integer -L");
  }
};
const Format kFormats[] = {{1, 8, 8000}, {1, 16, 11025}, {2, 8, 22050}, {2, 16, 44100}};

class Sox : public FileFixture {
 protected:
  static std::string Run(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    return pclose(pipe) == 0 ? output : "failed: " + command;
  }
  // A sweep of 0.1 s in `format`, written by sox as `type` ("wav", "voc", "raw").
  std::string Synth(const Format& format, const std::string& type) {
    const std::string path = PathOf("sox." + type);
    EXPECT_EQ(Run("sox -D -n -r " + std::to_string(format.rate) + " " + format.Sox() + " -t " + type + " " +
                  path + " synth 0.1 sine 300-3000 2>&1"),
              "");
    return path;
  }
  // The samples sox reads from `path`, as raw bytes of `format`.
  std::vector<uint8_t> SoxSamples(const std::string& path, const Format& format) {
    const std::string raw = PathOf("out.raw");
    EXPECT_EQ(Run("sox -D " + path + " " + format.Sox() + " -t raw " + raw + " 2>&1"), "");
    return ReadBytes(raw);
  }
};

TEST_F(Sox, LoadsWavFilesSoxWrote) {
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.Sox());
    const std::vector<uint8_t> samples = ReadBytes(Synth(f, "raw"));
    ASSERT_TRUE(Voice(1).LoadWavFile(Synth(f, "wav")));
    KPcmFiles& v = Voice(1);
    EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample, v.SampleRate), std::tie(f.channels, f.bits, f.rate));
    // The data length is rounded down to a multiple of 4 bytes.
    EXPECT_EQ(Bytes(v),
              std::vector<uint8_t>(samples.begin(), samples.begin() + long(samples.size() & ~size_t(3))));
  }
}

// sox writes mono 8-bit as a type 1 block, 16-bit as type 9 blocks whose
// length is 8 bytes short, and stereo 8-bit as a type 8 block.
TEST_F(Sox, LoadsVocFilesSoxWroteAsTheBlockLengthSays) {
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.Sox());
    const std::vector<uint8_t> samples = ReadBytes(Synth(f, "raw"));
    const std::string path = Synth(f, "voc");
    if (f.channels == 2 && f.bits == 8) {
      EXPECT_FALSE(Voice(1).LoadVocFile(path));
      EXPECT_EQ(LastMessage(), KFormatMessage(msg::kVocBlockType, path.c_str(), 8));
      continue;
    }
    ASSERT_TRUE(Voice(1).LoadVocFile(path));
    KPcmFiles& v = Voice(1);
    EXPECT_EQ(std::tie(v.Channels, v.BitsPerSample), std::tie(f.channels, f.bits));
    const size_t announced = f.bits == 16 ? samples.size() - 8 : samples.size();
    EXPECT_EQ(Bytes(v), std::vector<uint8_t>(samples.begin(), samples.begin() + long(announced)));
    // A type 1 block gives its rate as a time constant, the byte after the block header.
    const int32_t rate = f.bits == 8 ? 1000000 / (256 - ReadBytes(path)[30]) / 25 * 25 : f.rate;
    EXPECT_EQ(v.SampleRate, rate);
  }
}

TEST_F(Sox, ReadsWavAndVocFilesMelotrixWrote) {
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.Sox());
    GiveVoice(Voice(1), f.channels, f.bits, 3001, f.rate);
    std::vector<uint8_t> samples = Bytes(Voice(1));
    samples.resize(samples.size() & ~size_t(3));
    for (const std::string type : {"wav", "voc"}) {
      const std::string path = PathOf("melotrix." + type);
      ASSERT_TRUE(type == "wav" ? Voice(1).SaveWavFile(path) : Voice(1).SaveVocFile(path));
      EXPECT_EQ(Run("soxi -c " + path), std::to_string(f.channels) + "\n");
      EXPECT_EQ(Run("soxi -r " + path), std::to_string(f.rate) + "\n");
      EXPECT_EQ(Run("soxi -b " + path), std::to_string(f.bits) + "\n");
      EXPECT_EQ(SoxSamples(path, f), samples);
    }
  }
}

}  // namespace
