// melotrix-cli's info and convert on the voice formats and on sound files
// made by sox: formats, the resampler against sox's, levels, many files.
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "cli/CliFixture.h"
#include "support/FileSizeLimit.h"

// 16-bit samples 0, 1000, -1000, 32767, -32768, 5, -5, 12345, -12345, 77.
const std::string kSamples("\0\0\xe8\x03\x18\xfc\xff\x7f\0\x80\x05\0\xfb\xff\x39\x30\xc7\xcf\x4d\0", 20);

// Little-endian 16-bit samples.
std::vector<int> Samples16(const std::string& bytes) {
  std::vector<int> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = int16_t(uint8_t(bytes[2 * i]) | uint8_t(bytes[2 * i + 1]) << 8);
  return samples;
}

// The power of the difference of `ours` from `reference` against the reference's, in dB.
double DifferenceDb(const std::vector<int>& ours, const std::vector<int>& reference) {
  double difference = 0, signal = 0;
  for (size_t i = 0; i < ours.size(); ++i) {
    difference += double(ours[i] - reference[i]) * (ours[i] - reference[i]);
    signal += double(reference[i]) * reference[i];
  }
  return 10 * std::log10((difference + 1e-9) / signal);
}

// Each file converts to each format, one line per file, going on after a failure: a voice
// format's file to the same samples, in the bytes of a window's save (an MXV's keys follow the
// clock), another to its own values where a voice holds them, else 44100 Hz, two channels and 16
// bits. Options set them (the rate down to a multiple of 25) and the alias.
TEST_F(Cli, EveryFileConvertsToEveryVoiceFormat) {
  WriteFile(dir_ / "pcm.pcm", kSamples);  // mono 16-bit, as --raw tells
  ASSERT_EQ(Run("", "load-pcm 1 16 pcm.pcm; rate 11025; save-mxv mxv.mxv; save-wav wav.wav; save-voc voc.voc").err, "");
  WriteFile(dir_ / "notes.wav", "no sound in here");
  fs::create_directory(dir_ / "folder.wav");
  const struct {
    const char *Name, *Sox, *Voice;  // sox's output options, the voice by default
    int LowEnd;                      // its length at 16000 Hz, cut to whole 4 bytes in an MXV file
  } sources[] = {
      {"mxv.mxv", nullptr, "channels=1 bits=16 rate=11025 end=10", 14},
      {"wav.wav", nullptr, "channels=1 bits=16 rate=11025 end=10", 14},
      {"voc.voc", nullptr, "channels=1 bits=16 rate=11025 end=10", 14},
      {"pcm.pcm", nullptr, "channels=1 bits=16 rate=8000 end=10", 20},
      {"s48.wav", "-r 48000 -b 16", "channels=1 bits=16 rate=44100 end=8820", 3200},
      {"x96.wav", "-r 96000 -b 24 -c 2", "channels=2 bits=16 rate=44100 end=8820", 3200},  // WAVE_FORMAT_EXTENSIBLE
      {"f32.wav", "-r 22050 -e floating-point -b 32", "channels=1 bits=16 rate=22050 end=4410", 3200},
      {"a.aiff", "-r 16000 -b 8", "channels=1 bits=8 rate=16000 end=3200", 3200},
      {"b.flac", "-r 32000 -b 16 -c 2", "channels=2 bits=16 rate=32000 end=6400", 3200},
      {"six.wav", "-r 8000 -b 16 -c 6", "channels=2 bits=16 rate=8000 end=1600", 3200},
      {"v48.voc", "-r 48000 -b 16", "channels=1 bits=16 rate=48000 end=9596", 3198},  // kept at its loader's rate
  };
  std::string all = "convert --raw 1 16 missing.wav notes.wav folder.wav";
  for (const auto& s : sources) {
    if (s.Sox) Sox("-n " + std::string(s.Sox) + " " + s.Name + " synth 0.2 sine 1000 vol 0.5");
    all += std::string(" ") + s.Name;
  }
  Sox("-n -r 8000 b.aiff synth 0.1 sine 500");  // after b.flac: the same output
  all += " b.aiff";
  const std::string bad[] = {"missing.wav: cannot be read: No such file or directory",
                             "notes.wav: is not a sound file (Format not recognised.)", "folder.wav: is a folder"};
  for (const std::string format : {"wav", "mxv", "voc", "pcm", "low"}) {
    const bool low = format == "low";
    const CliResult r = Run(all + " --to " + format +
                            (low ? " --rate 16010 --bits 16 --channels 1 --alias A_voice_with_a_long_name --format mxv"
                                 : " --format " + format));
    EXPECT_EQ(r.status, 1);
    for (const std::string& failed :
         {bad[0], bad[1], bad[2],
          "b.aiff: " + format + "/b." + (low ? "mxv" : format) + " is the output of an earlier file"})
      EXPECT_NE(r.err.find(failed + "\n"), std::string::npos) << failed;
    for (const auto& s : sources) {
      const std::string stem = fs::path(s.Name).stem().string(),
                        out = format + "/" + stem + (low ? ".mxv" : "." + format);
      EXPECT_NE(r.out.find(std::string(s.Name) + " -> " + out + "\n"), std::string::npos) << r.out;
      const std::string voice = low ? "channels=1 bits=16 rate=16000 end=" + std::to_string(s.LowEnd) +
                                          " alias=A_voice_with_a_long"
                                    : s.Voice + std::string(" alias="),
                        bytes = ReadFile(dir_ / out);
      // Above 44100 Hz no loader takes the file back: info reads a WAV through libsndfile, an MXV not at all.
      const bool above = !low && std::string(s.Voice).find("rate=48000") != std::string::npos;
      const std::string info = format == "pcm" || (above && format == "mxv") ? "" : Run("info " + out).out;
      EXPECT_EQ(info.substr(0, std::min(above ? info.find(" format=") : std::string::npos, info.find('\n'))),
                format == "pcm" || (above && format == "mxv") ? "" : out + ": " + voice);
      // A raw file holds the samples of the WAV without its header.
      EXPECT_TRUE(format != "pcm" || bytes == ReadFile(dir_ / ("wav/" + stem + ".wav")).substr(44)) << out;
      EXPECT_TRUE(s.Sox || stem == "pcm" || format == "mxv" || low || bytes == ReadFile(dir_ / (format + "." + format)))
          << out;
    }
  }
  // One file: its messages as in scripts.
  EXPECT_EQ(Run("convert notes.wav never.mxv").err, Shown(bad[1]));
  EXPECT_FALSE(Exists("never.mxv"));
  // 48 kHz to 44100 Hz matches sox's very-high-quality rate within -80 dB of
  // the signal, dithered or not; dither changes the bytes.
  Sox("s48.wav -b 16 -e signed -t raw sox.raw rate -v 44100");
  const std::string reference = ReadFile(dir_ / "sox.raw");
  for (const std::string dither : {"", ", dithered"}) {
    const CliResult r = Run(std::string("convert") + (dither.empty() ? "" : " --dither") + " s48.wav d.pcm");
    EXPECT_EQ(r.err, "s48.wav: 48000 Hz 16-bit mono -> 44100 Hz 16-bit mono" + dither + "\n");
    const std::string ours = ReadFile(dir_ / "d.pcm");
    EXPECT_EQ(ours == ReadFile(dir_ / "pcm/s48.pcm"), dither.empty());
    ASSERT_EQ(ours.size(), reference.size());
    EXPECT_LT(DifferenceDb(Samples16(ours), Samples16(reference)), -80) << dither;
  }
}

// convert's preparation in its order on a stereo tone burst padded with silence (1000 Hz left,
// 500 Hz right): trimmed to the frames where either channel crosses the level, faded linearly from
// the trimmed edges, then scaled so that the peak of the faded frames, mixed down where asked, is
// the level asked, full scale at most.
TEST_F(Cli, ConvertTrimsFadesAndNormalizesInThatOrder) {
  Sox("-n -r 16000 -c 2 -b 16 burst.wav synth 0.25 sine 1000 sine 500 vol 0.5 pad 0.1 0.15");
  Sox("burst.wav -t raw source.raw");
  const std::vector<int> source = Samples16(ReadFile(dir_ / "source.raw"));
  const int64_t frames = int64_t(source.size() / 2);
  int64_t first = -1, last = -1;
  for (size_t i = 0; i < source.size(); ++i)
    if (std::abs(source[i]) > 32768 * std::pow(10.0, -30 / 20.0)) {
      if (first < 0) first = int64_t(i / 2);
      last = int64_t(i / 2);
    }
  ASSERT_GT(first, 1500);  // after the 0.1 s of silence
  const struct {
    const char* Options;
    bool Trim, Mono;
    int64_t FadeIn, FadeOut;  // frames at 16000 Hz
    double PeakDb;            // the peak asked for; NAN: the source's samples, faded
  } rows[] = {
      {"--trim -30", true, false, 0, 0, NAN},
      {"--trim -30 --fade-in 10 --fade-out 20", true, false, 160, 320, NAN},
      {"--fade-out 20", false, false, 0, 320, NAN},
      {"--trim -30 --channels 1 --normalize -3", true, true, 0, 0, -3},
      {"--trim -30 --fade-in 500 --channels 1 --normalize -6", true, true, 8000, 0, -6},  // only half way up
      {"--normalize 0", false, false, 0, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Options);
    const CliResult r = Run(std::string("convert ") + row.Options + " burst.wav out.pcm");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err.find(", trimmed") != std::string::npos, row.Trim) << r.err;
    const std::vector<int> out = Samples16(ReadFile(dir_ / "out.pcm"));
    const int64_t start = row.Trim ? first : 0, kept = row.Trim ? last - first + 1 : frames;
    const int channels = row.Mono ? 1 : 2;
    EXPECT_NEAR(double(out.size()) / channels, double(kept), 1);
    if (std::isnan(row.PeakDb)) {
      for (int64_t k : {int64_t(0), int64_t(40), int64_t(159), kept / 2, kept - 300, kept - 160, kept - 1}) {
        double fade = row.FadeIn && k < row.FadeIn ? double(k) / double(row.FadeIn) : 1.0;
        if (kept - 1 - k < row.FadeOut) fade *= double(kept - 1 - k) / double(row.FadeOut);
        for (int c = 0; c < 2; ++c)
          EXPECT_NEAR(out[size_t(k * 2 + c)], source[size_t((start + k) * 2 + c)] * fade, 1) << k;
      }
    } else {
      int peak = 0;
      for (int x : out) peak = std::max(peak, std::abs(x));
      EXPECT_NEAR(20 * std::log10(peak / 32768.0), row.PeakDb, 0.05);
    }
  }
}

// resample: a sine at 44100 Hz resampled to 16000 Hz (the rate rounded down to 25) matches sox's
// very-high-quality rate within -60 dB of the signal, with END and the markers scaled and rounded;
// undo brings back the voice, its record and its samples.
TEST_F(Cli, ResampleMatchesSoxScalesMarkersAndUndoes) {
  Sox("-n -r 44100 -b 16 sine.wav synth 0.5 sine 1000 vol 0.5");
  Sox("sine.wav -t raw sine.raw");
  Sox("sine.wav -t raw sox.raw rate -v 16000");
  const CliResult r = Run("",
                          "load-wav sine.wav; set-mkl 1000; set-mkr 20000; set-flg 15000; resample 16010; state; "
                          "dump ours.raw; undo; state; dump back.raw");
  ASSERT_EQ(r.status, 0) << r.err;
  std::string record;
  for (const std::string key : {"rate=", "end=", "mkl=", "mkr=", "flg=", "undo="}) record += Lines(r.out, key) + "\n";
  EXPECT_EQ(record,
            "rate=16000 rate=44100\nend=8000 end=22050\nmkl=363 mkl=1000\nmkr=7256 mkr=20000\n"
            "flg=5442 flg=15000\nundo=Undo : Translate the Sample-Rate undo=Undo\n");
  EXPECT_EQ(ReadFile(dir_ / "back.raw"), ReadFile(dir_ / "sine.raw"));
  const std::vector<int> ours = Samples16(ReadFile(dir_ / "ours.raw")), sox = Samples16(ReadFile(dir_ / "sox.raw"));
  ASSERT_EQ(ours.size(), sox.size());
  EXPECT_LT(DifferenceDb(ours, sox), -60);
}

// info: each file's format, a raw file mono 8-bit unless told, and going on
// after a failure; --stats: each channel's peak and RMS level, samples at full
// scale and DC offset, for files of the voice loaders and of libsndfile alike.
TEST_F(Cli, InfoDescribesAndMeasuresEachFile) {
  WriteFile(dir_ / "stereo.PCM", kSamples);
  CliResult r = Run("info missing.wav stereo.PCM");
  EXPECT_EQ(std::to_string(r.status) + r.out, "1stereo.PCM: channels=1 bits=8 rate=8000 end=20 alias=\n");
  const struct {
    const char *Format, *Effects;
    double Amplitude, Dc;
    int FullScale;
  } cases[] = {
      {"-r 48000 -b 24", "synth 0.5 sine 1000 vol 0.25 dcshift 0.125", 0.25, 0.125, 0},
      {"-r 48000 -e floating-point -b 32 -c 2", "synth 0.5 sine 1000 vol 0.7", 0.7, 0, 0},
      {"-r 44100 -b 16", "synth 0.4 sine 1225 vol 0.5", 0.5, 0, 0},       // through the WAV loader
      {"-r 8000 -b 8", "synth 0.1 sine 2000 gain 6", 1, 0, 400},          // every other sample clips
      {"-r 48000 -b 16 -c 6", "synth 0.5 sine 1000 vol 0.5", 0.5, 0, 0},  // mixed down to two channels
  };
  std::string files;
  for (int k = 0; k < 5; ++k) {
    const std::string name = "t" + std::to_string(k) + ".wav";
    Sox("-n " + std::string(cases[k].Format) + (k < 4 ? " " + name + " " : " six.wav ") + cases[k].Effects);
    files += " " + name;
  }
  ASSERT_EQ(Run("convert six.wav t4.wav").status, 0);
  r = Run("info --stats" + files);
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::vector<int> channels(5);
  for (std::string line; std::getline(lines, line);) {
    int file = 0, channel = 0, fullScale = -1;
    double peak = 0, rms = 0, dc = 0;
    if (std::sscanf(line.c_str(), "t%d.wav: channel=%d peak_dbfs=%lf rms_dbfs=%lf full_scale=%d dc_offset=%lf", &file,
                    &channel, &peak, &rms, &fullScale, &dc) != 6)
      continue;
    const auto& c = cases[file];
    channels[size_t(file)] = channel;
    SCOPED_TRACE(line);
    EXPECT_NEAR(peak, 20 * std::log10(std::min(1.0, c.Amplitude + c.Dc)), 0.01);
    EXPECT_TRUE(c.FullScale || std::fabs(rms - 10 * std::log10(c.Amplitude * c.Amplitude / 2 + c.Dc * c.Dc)) < 0.01);
    EXPECT_EQ(fullScale, c.FullScale);
    EXPECT_NEAR(dc, c.Dc, 0.002);
  }
  EXPECT_EQ(channels, (std::vector<int>{1, 2, 1, 1, 2})) << r.out;
  EXPECT_NE(r.out.find("t0.wav: channels=1 bits=24 rate=48000 end=24000 alias= format=\"WAVEX"), std::string::npos);
}

// Hostile sound files (the sound fuzz target's seeds) cost what they hold: a truncated Ogg that
// announces 2^63-1 frames, a 514-byte FLAC that announces 10^8, WAVs of 74 bytes at 1 Hz. Each
// run may write 1 MB a file and, but under the sanitizers, use 256 MB of memory; no file of the
// folder changes and no run folder stays behind. A silent channel's level is "silent", and
// many files whose output is one of the inputs convert none.
TEST_F(Cli, ConversionOfHostileHeadersWithBoundedBytesAndMemory) {
#ifndef __SANITIZE_ADDRESS__
  memoryLimit_ = 256 << 20;
#endif
  for (const char* name : {"truncated.ogg", "truncated-1e8-frames.flac", "rate-1hz-mono.wav", "rate-1hz-stereo.wav"})
    fs::copy_file(fs::path(MELOTRIX_SOUND_CORPUS) / name, dir_ / name);
  Sox("-n -r 8000 -b 16 x.aiff synth 0.1 sine 300");
  Sox("-n -r 8000 -b 16 x.wav synth 0.1 sine 500");
  Sox("-n -r 8000 -b 16 silence.wav synth 0.01 sine 300 vol 0");
  auto files = [this] {
    std::map<std::string, std::string> bytes;
    for (const auto& entry : fs::directory_iterator(dir_.Path()))
      if (entry.is_regular_file() && entry.path().stem() != "cli")
        bytes[entry.path().filename()] = ReadFile(entry.path());
    return bytes;
  };
  const auto before = files();
  const std::string cutOgg = Shown("truncated.ogg is cut short after 0 frames");
  const struct {
    const char* Line;
    int Status;
    std::string Out, Err;
  } rows[] = {
      {"convert truncated.ogg out.wav", 1, "", cutOgg},
      {"info --stats truncated.ogg", 1, "", cutOgg},
      {"convert truncated-1e8-frames.flac out.mxv", 1, "",
       Shown("truncated-1e8-frames.flac is cut short after 4096 frames")},
      {"convert rate-1hz-mono.wav out.wav", 1, "",
       Shown("rate-1hz-mono.wav: a rate of 1 Hz cannot be converted (the lowest is 1000 Hz)")},
      {"convert --rate 8000 rate-1hz-stereo.wav out.pcm", 1, "",
       Shown("rate-1hz-stereo.wav: a rate of 1 Hz cannot be converted (the lowest is 1000 Hz)")},
      {"info --stats silence.wav", 0,
       "silence.wav: channels=1 bits=16 rate=8000 end=80 alias=\n"
       "silence.wav: channel=1 peak_dbfs=silent rms_dbfs=silent full_scale=0 dc_offset=+0.000000\n",
       ""},
      {"convert x.aiff x.wav --to . --format wav", 1, "",
       "x.aiff: its output ./x.wav would write over the input x.wav\n"
       "x.wav: its output ./x.wav would write over the input x.wav\nconvert: nothing was converted\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Line);
    CliResult r;
    {
      FileSizeLimit limit(1 << 20);
      r = Run(row.Line);
    }
    EXPECT_EQ(std::to_string(r.status) + r.out + r.err, std::to_string(row.Status) + row.Out + row.Err);
    EXPECT_TRUE(files() == before);
    EXPECT_TRUE(!fs::exists(System() + "/SYS_DATA") || fs::is_empty(System() + "/SYS_DATA"));
  }
}
