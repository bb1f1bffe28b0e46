// melotrix-cli on the sound files people have, made by sox in each test:
// conversion to the voice formats, the resampler against sox's own, level
// statistics, and many files at once.
#include <cmath>
#include <cstdio>

#include "cli/CliFixture.h"

namespace {

class CliSound : public Cli {
 protected:
  // Runs sox without dither in the test's folder.
  void Sox(const std::string& args) {
    ASSERT_EQ(std::system(("cd " + Quote(dir_.Path()) + " && sox -q -D " + args + " 2>/dev/null").c_str()), 0) << args;
  }
  // 16-bit little-endian samples of a file.
  std::vector<double> Samples(const std::string& name) {
    const std::string bytes = ReadFile(dir_ / name);
    std::vector<double> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
      samples[i] = int16_t(uint8_t(bytes[2 * i]) | uint8_t(bytes[2 * i + 1]) << 8);
    return samples;
  }
};

struct Source {
  const char* Name;
  const char* Sox;    // sox's output options and its effects
  const char* Voice;  // what the voice becomes by default
};
const Source kSources[] = {
    {"s48.wav", "-r 48000 -b 16", "channels=1 bits=16 rate=44100"},
    {"x96.wav", "-r 96000 -b 24 -c 2", "channels=2 bits=16 rate=44100"},  // WAVE_FORMAT_EXTENSIBLE
    {"f32.wav", "-r 22050 -e floating-point -b 32", "channels=1 bits=16 rate=22050"},
    {"a.aiff", "-r 11025 -b 8", "channels=1 bits=8 rate=11025"},
    {"b.flac", "-r 32000 -b 16 -c 2", "channels=2 bits=16 rate=32000"},
    {"six.wav", "-r 8000 -b 16 -c 6", "channels=2 bits=16 rate=8000"},
};

// Each file converts to each format, to the source's own values where a
// voice holds them; the options set them (the rate down to a multiple of 25).
TEST_F(CliSound, EverySoundFileConvertsToEveryVoiceFormat) {
  Words all{"convert"};
  for (const Source& s : kSources) {
    Sox("-n " + std::string(s.Sox) + " " + s.Name + " synth 0.2 sine 1000 vol 0.5");
    all.push_back(s.Name);
  }
  EXPECT_NE(Run({"info", "x96.wav"}).out.find("WAVEX"), std::string::npos);
  for (const char* format : {"wav", "mxv", "voc", "pcm"}) {
    Words args = all;
    args.insert(args.end(), {"--to", "out", "--format", format});
    CliResult r = Run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const Source& s : kSources) {
      const std::string stem = fs::path(s.Name).stem().string(), out = "out/" + stem + "." + format;
      EXPECT_NE(r.out.find(std::string(s.Name) + " -> " + out + "\n"), std::string::npos) << r.out;
      // A raw file holds the samples of the WAV without its header.
      const std::string wav = "out/" + stem + ".wav";
      if (std::string(format) == "pcm") {
        EXPECT_EQ(fs::file_size(dir_ / out) + 44, fs::file_size(dir_ / wav)) << out;
      } else {
        EXPECT_EQ(Run({"info", out}).out.rfind(out + ": " + s.Voice + " end=", 0), 0u) << out;
      }
    }
  }
  all.insert(all.end(), {"--rate", "16010", "--bits", "8", "--channels", "1", "--to", "low", "--format", "mxv"});
  ASSERT_EQ(Run(all).status, 0);
  for (const Source& s : kSources) {
    const std::string out = "low/" + fs::path(s.Name).stem().string() + ".mxv";
    EXPECT_EQ(Run({"info", out}).out, out + ": channels=1 bits=8 rate=16000 end=3200 alias=\n");
  }
}

// A 1 kHz sine at 48 kHz taken to 16000 Hz matches sox's very-high-quality
// rate within -80 dB of the signal, dithered or not; dither changes the bytes.
TEST_F(CliSound, ResamplingMatchesSoxsVeryHighQualityRate) {
  Sox("-n -r 48000 -b 24 sine.wav synth 1 sine 1000 vol 0.5");
  Sox("sine.wav -b 16 -e signed -t raw sox.raw rate -v 16000");
  const std::vector<double> reference = Samples("sox.raw");
  std::string plain;
  for (const std::string dither : {"", "--dither"}) {
    Words args{"convert", "--rate", "16000", "--bits", "16", "sine.wav", "out.pcm"};
    if (!dither.empty()) args.insert(args.begin() + 1, dither);
    CliResult r = Run(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "sine.wav: 48000 Hz 24-bit mono -> 16000 Hz 16-bit mono" +
                         std::string(dither.empty() ? "" : ", dithered") + "\n");
    const std::vector<double> ours = Samples("out.pcm");
    ASSERT_EQ(ours.size(), reference.size());
    double difference = 0, signal = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
      difference += (ours[i] - reference[i]) * (ours[i] - reference[i]);
      signal += reference[i] * reference[i];
    }
    EXPECT_LT(10 * std::log10((difference + 1e-9) / signal), -80) << dither;
    if (dither.empty()) plain = ReadFile(dir_ / "out.pcm");
  }
  EXPECT_NE(ReadFile(dir_ / "out.pcm"), plain);
}

// info --stats: each channel's peak and RMS level, samples at full scale
// and DC offset, for files of the voice loaders and of libsndfile alike.
TEST_F(CliSound, InfoStatsMeasuresEachChannel) {
  struct Case {
    const char* Sox;
    double Amplitude, Dc;
    int FullScale;
    int Channels;
  };
  const Case cases[] = {
      {"-r 48000 -b 24 t.wav synth 0.5 sine 1000 vol 0.25 dcshift 0.125", 0.25, 0.125, 0, 1},
      {"-r 48000 -e floating-point -b 32 -c 2 t.wav synth 0.5 sine 1000 vol 0.7", 0.7, 0, 0, 2},
      {"-r 44100 -b 16 t.wav synth 0.4 sine 1225 vol 0.5", 0.5, 0, 0, 1},  // through the WAV loader
      {"-r 8000 -b 8 t.wav synth 0.1 sine 2000 gain 6", 1, 0, 400, 1},     // every other sample clips
  };
  for (const Case& c : cases) {
    Sox("-n " + std::string(c.Sox));
    CliResult r = Run({"info", "--stats", "t.wav"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    int channels = 0;
    for (std::string line; std::getline(lines, line);) {
      int channel = 0, fullScale = -1;
      double peak = 0, rms = 0, dc = 0;
      if (std::sscanf(line.c_str(), "t.wav: channel=%d peak_dbfs=%lf rms_dbfs=%lf full_scale=%d dc_offset=%lf",
                      &channel, &peak, &rms, &fullScale, &dc) != 5)
        continue;
      ++channels;
      SCOPED_TRACE(std::string(c.Sox) + ", channel " + std::to_string(channel));
      EXPECT_NEAR(peak, 20 * std::log10(std::min(1.0, c.Amplitude + c.Dc)), 0.01);
      if (c.FullScale == 0) {
        EXPECT_NEAR(rms, 10 * std::log10(c.Amplitude * c.Amplitude / 2 + c.Dc * c.Dc), 0.01);
      }
      EXPECT_EQ(fullScale, c.FullScale);
      EXPECT_NEAR(dc, c.Dc, 0.002);
    }
    EXPECT_EQ(channels, c.Channels) << r.out;
  }
}

// Many files at once go on after a failure, one line per file, exit 1; the
// messages say what is wrong with each; usage mistakes exit 2.
TEST_F(CliSound, ManyFilesGoOnAfterAFailureAndSayWhatIsWrong) {
  Sox("-n -r 22050 -b 16 good.flac synth 0.1 sine 500");
  Sox("-n -r 22050 -b 16 good.aiff synth 0.1 sine 500");
  WriteFile(dir_ / "notes.wav", "no sound in here");
  fs::create_directory(dir_ / "folder.wav");
  CliResult r = Run({"convert", "good.flac", "missing.wav", "notes.wav", "folder.wav", "good.aiff", "--to", "out",
                     "--format", "wav"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "good.flac -> out/good.wav\n");
  EXPECT_EQ(r.err,
            "missing.wav: cannot be read: No such file or directory\n"
            "notes.wav: is not a sound file (Format not recognised.)\n"
            "folder.wav: is a folder\n"
            "good.aiff: out/good.wav is the output of an earlier file\n");
  r = Run({"convert", "notes.wav", "never.mxv"});
  EXPECT_EQ(r.err, Shown("notes.wav: is not a sound file (Format not recognised.)"));
  EXPECT_FALSE(Exists("never.mxv"));
  for (const Words& args :
       {Words{"convert", "good.flac", "--to", "out"}, Words{"convert", "good.flac", "--to", "o", "--format", "ogg"},
        Words{"convert", "--rate", "2000", "good.flac", "o.wav"},
        Words{"convert", "--bits", "24", "good.flac", "o.wav"}, Words{"info", "--dither", "good.flac"}})
    EXPECT_EQ(Run(args).status, 2) << args[1];
}

}  // namespace
