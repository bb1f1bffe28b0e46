#include <filesystem>

#include "CliFixture.h"

namespace {

class Files : public CliFixture {
 protected:
  // "sox" makes a WAV file of `frames` frames of a tone in the given format.
  void Sox(const std::string& name, int rate, int channels, const std::string& encoding, int frames) {
    std::string line = "sox -q -r " + std::to_string(rate) + " -n -c " + std::to_string(channels) + " " + encoding +
                       " " + Quote(dir_ / name) + " synth " + std::to_string(frames) + "s sine 440";
    ASSERT_EQ(std::system(line.c_str()), 0) << line;
  }
  const std::vector<int16_t> samples_{0, 1000, -1000, 32767, -32768, 5, -5, 12345, -12345, 77};
};

TEST_F(Files, InfoPrintsEachFilesFormatAndAlias) {
  Sox("tone.wav", 11025, 2, "-b 16", 123);
  Sox("low.WAV", 8000, 1, "-b 8 -e unsigned", 52);
  WriteFile(dir_ / "stereo.PCM", Bytes16(samples_));
  Quiet("load-wav tone.wav; alias \"Two tone\"; save-mxv tone.mxv");
  CliResult r = cli_.Run({"info", "tone.wav", "low.WAV", "tone.mxv"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "tone.wav: channels=2 bits=16 rate=11025 end=123 alias=\n"
            "low.WAV: channels=1 bits=8 rate=8000 end=52 alias=\n"
            "tone.mxv: channels=2 bits=16 rate=11025 end=123 alias=Two tone\n");
  CliResult raw = cli_.Run({"info", "--raw", "2", "16", "stereo.PCM"});
  EXPECT_EQ(raw.out, "stereo.PCM: channels=2 bits=16 rate=8000 end=5 alias=\n");
  CliResult plain = cli_.Run({"info", "stereo.PCM"});
  EXPECT_EQ(plain.out, "stereo.PCM: channels=1 bits=8 rate=8000 end=20 alias=\n");
}

TEST_F(Files, InfoReportsBadFilesOnStderrAndGoesOn) {
  Sox("good.wav", 16000, 1, "-b 16", 10);
  WriteFile(dir_ / "bad.wav", "this is no wave file at all, only text in it");
  WriteFile(dir_ / "notes.txt", "hello");
  CliResult r = cli_.Run({"info", "bad.wav", "notes.txt", "missing.mxv", "good.wav"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "good.wav: channels=1 bits=16 rate=16000 end=10 alias=\n");
  EXPECT_NE(r.err.find("bad.wav"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("notes.txt: unknown file type"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(KFormatMessage(msg::kNotValidFile, "missing.mxv", "MXV")), std::string::npos) << r.err;
  EXPECT_EQ(cli_.Run({"info"}).status, 2);
  EXPECT_EQ(cli_.Run({"info", "--raw", "3", "8", "x.pcm"}).status, 2);
}

// Every format converts to every other with the same samples; the rate
// survives except through raw PCM, which has none (8000 Hz on loading).
TEST_F(Files, ConvertBetweenEveryPairOfFormats) {
  WriteFile(dir_ / "src.pcm", Bytes16(samples_));
  Quiet("load-pcm 1 16 src.pcm; rate 11025; save-mxv a.mxv; save-wav a.wav; save-voc a.voc; save-pcm a.pcm");
  const std::string formats[] = {"mxv", "wav", "voc", "pcm"};
  for (const std::string& in : formats) {
    for (const std::string& out : formats) {
      SCOPED_TRACE(in + " -> " + out);
      std::string target = "b-" + in + "." + out;
      CliResult r = cli_.Run({"convert", "--raw", "1", "16", "a." + in, target});
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.out + r.err, "");
      std::string rate = in == "pcm" || out == "pcm" ? "8000" : "11025";
      EXPECT_EQ(cli_.Run({"info", "--raw", "1", "16", target}).out,
                target + ": channels=1 bits=16 rate=" + rate + " end=10 alias=\n");
      std::string load = out == "pcm" ? "load-pcm 1 16 " : "load-" + out + " ";
      EXPECT_EQ(Frames(load + target), Bytes16(samples_));
    }
  }
}

TEST_F(Files, ConvertSetsTheAliasAndStopsAtALoadFailure) {
  Sox("in.wav", 22050, 1, "-b 16", 40);
  CliResult r = cli_.Run({"convert", "--alias", "A voice with a long name", "in.wav", "out.MXV"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(cli_.Run({"info", "out.MXV"}).out, "out.MXV: channels=1 bits=16 rate=22050 end=40 alias=A voice with a long\n");

  CliResult missing = cli_.Run({"convert", "missing.wav", "never.mxv"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, KFormatMessage(msg::kNotValidFile, "missing.wav", "WAV") + "\n\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "never.mxv"));
  EXPECT_EQ(cli_.Run({"convert", "in.wav", "out.ogg"}).status, 2);
  EXPECT_EQ(cli_.Run({"convert", "in.wav"}).status, 2);
  EXPECT_EQ(cli_.Run({"convert", "--alias"}).status, 2);
}

}  // namespace
