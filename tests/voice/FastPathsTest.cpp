// The edits and the voice files on voices long enough for many 64 KB windows,
// sample blocks and copy blocks, in all four sample formats, against the
// same work done here frame by frame through cells (and byte by byte for the
// MXV key stream), with samples loud enough to clip.
#include <algorithm>
#include <cmath>

#include "VoiceTests.h"

namespace {

constexpr std::pair<int, int> kFormats[] = {{1, 8}, {1, 16}, {2, 8}, {2, 16}};
constexpr int32_t kFrames = 70001;  // 4 to 5 windows in 16-bit stereo, odd in every unit

// A loud voice: two tones near full scale with spikes to the limits.
std::vector<uint8_t> Loud(int channels, int bits, int32_t frames, int seed = 1) {
  std::vector<uint8_t> raw;
  for (int32_t f = 0; f < frames; ++f) {
    for (int ch = 0; ch < channels; ++ch) {
      double x = 0.93 * std::sin(f * (0.0131 * seed + 0.0007 * ch));
      if ((f * 7 + ch * 3) % 101 == 0) x = (f / 101) % 2 ? 1.0 : -1.0;
      int v = int(std::lround(x * 32767));
      if (bits == 8) {
        raw.push_back(uint8_t(std::clamp(128 + v / 256, 0, 255)));
      } else {
        raw.push_back(uint8_t(v & 0xFF));
        raw.push_back(uint8_t((v >> 8) & 0xFF));
      }
    }
  }
  return raw;
}

KPcmCell CellOf(int channels, int bits) { return KPcmCell(channels, bits / 8); }

// Frame i (0-based) of `raw` decoded into a cell of its format; silence past the end.
KPcmCell FrameAt(const std::vector<uint8_t>& raw, KPcmCell cell, int64_t i) {
  if ((i + 1) * cell.FrameBytes <= int64_t(raw.size())) cell.Decode(&raw[size_t(i * cell.FrameBytes)]);
  return cell;
}
void Append(std::vector<uint8_t>& out, const KPcmCell& cell) {
  out.insert(out.end(), cell.Raw, cell.Raw + cell.FrameBytes);
}

// Frames from..to (1-based) of `raw` read into cells, changed by change(cell, p), stored and written back.
template <class Change>
std::vector<uint8_t> Rewritten(std::vector<uint8_t> raw, KPcmCell cell, int32_t from, int32_t to, Change change) {
  for (int32_t p = from; p <= to; ++p) {
    cell.Decode(&raw[size_t((p - 1) * cell.FrameBytes)]);
    change(cell, p);
    cell.Store();
    cell.Encode(&raw[size_t((p - 1) * cell.FrameBytes)]);
  }
  return raw;
}

// Frames first..first+count-1 (0-based) of `raw` as bytes.
std::vector<uint8_t> Frames(const std::vector<uint8_t>& raw, const KPcmCell& cell, int64_t first, int64_t count) {
  return {raw.begin() + first * cell.FrameBytes, raw.begin() + (first + count) * cell.FrameBytes};
}
std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class FastPaths : public VoiceTests {
 protected:
  // The current voice holds a loud voice of kFrames frames marked 5000..61000, FLG 33333.
  std::vector<uint8_t> Give(int channels, int bits) {
    std::vector<uint8_t> raw = Loud(channels, bits, kFrames);
    Fill(Current(), channels, bits, raw);
    Mark(Current(), 5000, 61000, 33333);
    return raw;
  }
};

// Each in-place edit against the same change made here cell by cell to the frames it covers.
TEST_F(FastPaths, AmplifierMuteAndFadesInEveryFormat) {
  using Change = std::function<void(KPcmCell&, int32_t)>;
  auto scale = [](double f) { return Change([f](KPcmCell& c, int32_t) { c.Scale(f); }); };
  const Change silence = [](KPcmCell& c, int32_t) { c.Clear(); };
  const std::tuple<Run, std::vector<std::tuple<int32_t, int32_t, Change>>> rows[] = {
      {[](KPcmFiles& v) { return v.MathAmplifier(150); }, {{5000, 61000, scale(1.5)}}},
      {[](KPcmFiles& v) { return v.MathAmplifier(999); }, {{5000, 61000, scale(9.99)}}},
      {[](KPcmFiles& v) { return v.MathAmplifier(1.5); }, {{5000, 61000, scale(0.015)}}},
      {[](KPcmFiles& v) { return v.MathAmplifier(37); }, {{5000, 61000, scale(0.37)}}},
      {&KPcmFiles::MuteMarked, {{5000, 61000, silence}}},
      {&KPcmFiles::MuteUnmark, {{1, 4999, silence}, {61001, kFrames, silence}}},
      {&KPcmFiles::FadeIn, {{5000, 61000, [](KPcmCell& c, int32_t p) { c.Scale((p - 5000) / 56001.0); }}}},
      {&KPcmFiles::FadeOut, {{5000, 61000, [](KPcmCell& c, int32_t p) { c.Scale(1 - (p - 5000) / 56000.0); }}}}};
  for (auto [channels, bits] : kFormats) {
    int row = 0;
    for (const auto& [edit, changes] : rows) {
      SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit, row " << row++);
      std::vector<uint8_t> raw = Give(channels, bits);
      ASSERT_TRUE(edit(Current()));
      for (const auto& [from, to, change] : changes) raw = Rewritten(raw, CellOf(channels, bits), from, to, change);
      EXPECT_EQ(Bytes(Current()), raw);
    }
  }
}

// output[j]: a silent cell, then for k = 0..n while j >= k D the voice's
// frame j - k D (silence past END) scaled by a^k and added; stored.
std::vector<uint8_t> Echoed(const std::vector<uint8_t>& raw, const KPcmCell& cell, double a, int n, int64_t d) {
  const int64_t end = int64_t(raw.size()) / cell.FrameBytes;
  std::vector<uint8_t> out;
  for (int64_t j = 0; j < end + n * d; ++j) {
    KPcmCell sum = cell;
    double g = 1;
    for (int k = 0; k <= n; ++k, g *= a) {
      if (j < k * d) continue;
      KPcmCell echo = FrameAt(raw, cell, j - k * d);
      echo.Scale(g);
      sum.Add(echo);
    }
    sum.Store();
    Append(out, sum);
  }
  return out;
}

TEST_F(FastPaths, EchoInEveryFormat) {
  for (auto [channels, bits] : kFormats) {
    SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit");
    // 60 % at 16000 Hz: four echoes of 4480 frames; 99 %: 63 echoes of one
    // frame at 10 Hz; 90 % at 22050 Hz: 21 echoes of 2205 frames.
    for (auto [rate, delay, attenuation, n] :
         {std::tuple{16000, 280.0, 60.0, 4}, {10, 100.0, 99.0, 63}, {22050, 100.0, 90.0, 21}}) {
      const std::vector<uint8_t> raw = Give(channels, bits);
      Current().SampleRate = rate;
      ASSERT_TRUE(Current().Echo(delay, attenuation));
      const int64_t d = int64_t(delay * 0.001 * rate);
      EXPECT_EQ(Current().END, kFrames + n * d);
      EXPECT_EQ(Bytes(Current()), Echoed(raw, CellOf(channels, bits), attenuation * 0.01, n, d)) << attenuation;
    }
  }
}

TEST_F(FastPaths, TranslationBetweenEveryTwoFormats) {
  for (auto [channels, bits] : kFormats) {
    for (auto [toChannels, toBits] : kFormats) {
      if (channels == toChannels && bits == toBits) continue;
      SCOPED_TRACE(testing::Message() << channels << "x" << bits << " -> " << toChannels << "x" << toBits);
      const std::vector<uint8_t> raw = Give(channels, bits);
      ASSERT_TRUE(Current().TranslateFormat(toChannels, toBits));
      const KPcmCell from = CellOf(channels, bits);
      KPcmCell to = CellOf(toChannels, toBits);
      std::vector<uint8_t> expected;
      for (int64_t f = 0; f < kFrames; ++f) {
        to.ConvertFrom(FrameAt(raw, from, f));
        Append(expected, to);
      }
      EXPECT_EQ(Bytes(Current()), expected);
    }
  }
}

// Copy, the three pastes, both cuts and insert mute move frames whole; the
// mix paste adds the copy to the voice with clipping.
TEST_F(FastPaths, CopiesPastesCutsAndInsertsInEveryFormat) {
  for (auto [channels, bits] : kFormats) {
    SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit");
    const KPcmCell cell = CellOf(channels, bits);
    std::vector<uint8_t> raw = Give(channels, bits);
    ASSERT_TRUE(Current().CopyMarked());
    const std::vector<uint8_t> copy = Frames(raw, cell, 4999, 56001);
    EXPECT_EQ(Bytes(Buffer()), copy);
    ASSERT_TRUE(Current().PasteByInsert());
    EXPECT_EQ(Bytes(Current()), Join({Frames(raw, cell, 0, 33333), copy, Frames(raw, cell, 33333, kFrames - 33333)}));
    raw = Give(channels, bits);
    ASSERT_TRUE(Current().PasteByCover());
    EXPECT_EQ(Bytes(Current()), Join({Frames(raw, cell, 0, 33332), copy}));
    raw = Give(channels, bits);
    ASSERT_TRUE(Current().PasteByMix());
    std::vector<uint8_t> mixed = Frames(raw, cell, 0, 33332);
    for (int64_t k = 0; k < 56001; ++k) {
      KPcmCell sum = FrameAt(raw, cell, 33332 + k);
      sum.Add(FrameAt(copy, cell, k));
      sum.Store();
      Append(mixed, sum);
    }
    EXPECT_EQ(Bytes(Current()), mixed);
    raw = Give(channels, bits);
    ASSERT_TRUE(Current().CutMarked());
    EXPECT_EQ(Bytes(Current()), Join({Frames(raw, cell, 0, 4999), Frames(raw, cell, 61000, kFrames - 61000)}));
    raw = Give(channels, bits);
    ASSERT_TRUE(Current().CutUnmark());
    EXPECT_EQ(Bytes(Current()), copy);
    raw = Give(channels, bits);
    ASSERT_TRUE(Current().InsertMute(70000));
    std::vector<uint8_t> silence;
    for (int k = 0; k < 70000; ++k) Append(silence, cell);
    EXPECT_EQ(Bytes(Current()),
              Join({Frames(raw, cell, 0, 33333), silence, Frames(raw, cell, 33333, kFrames - 33333)}));
  }
}

// Sources of other formats are converted to the result's before the sum;
// past a source's END it adds silence.
TEST_F(FastPaths, MixOfSourcesInDifferentFormats) {
  const std::vector<uint8_t> a = Loud(2, 8, kFrames, 1), b = Loud(1, 16, kFrames - 20000, 3), c = Loud(2, 16, 1000, 5);
  Fill(Voice(2), 2, 8, a);
  Fill(Voice(3), 1, 16, b);
  Fill(Voice(4), 2, 16, c);
  ASSERT_TRUE(Current().MixBanks({2, 3, 4, 0}));
  const KPcmCell result(2, 2);
  std::vector<uint8_t> expected;
  for (int64_t j = 0; j < kFrames; ++j) {
    KPcmCell sum = result, converted = result;
    for (auto [raw, cell] : {std::pair{&a, KPcmCell(2, 1)}, {&b, KPcmCell(1, 2)}}) {
      converted.ConvertFrom(FrameAt(*raw, cell, j));
      sum.Add(converted);
    }
    sum.Add(FrameAt(c, result, j));
    sum.Store();
    Append(expected, sum);
  }
  EXPECT_EQ(Bytes(Current()), expected);
}

// A voice record whose format is none of the four (a width of 0 or 24 bits)
// takes no runs: the in-place edits leave its bytes alone, the others end
// without dividing by a frame of zero bytes.
TEST_F(FastPaths, UnknownFormatsGoFrameByFrame) {
  for (int bits : {0, 24}) {
    const std::vector<uint8_t> raw = Give(2, 16);
    Current().BitsPerSample = bits;
    const std::vector<std::function<bool(KPcmFiles&)>> inPlace = {[](KPcmFiles& v) { return v.MathAmplifier(150); },
                                                                  &KPcmFiles::MuteMarked, &KPcmFiles::FadeIn};
    for (const auto& edit : inPlace) {
      edit(Current());
      uint8_t* view = Current().Storage->MapView(0, int32_t(raw.size()));
      ASSERT_NE(view, nullptr);
      EXPECT_EQ(std::vector<uint8_t>(view, view + raw.size()), raw) << bits;
      Current().Storage->UnmapView(view);
    }
    for (auto edit : {&KPcmFiles::CutMarked, &KPcmFiles::CopyMarked, &KPcmFiles::PasteByInsert}) {
      Give(2, 16);
      Current().BitsPerSample = bits;
      (Current().*edit)();
    }
    Current().BitsPerSample = bits;
    Current().Echo(280, 60);
    Current().BitsPerSample = bits;
    Current().TranslateFormat(1, 8);
  }
}

// The bars of a snapshot and of the amplifier after it: every 4096 bytes of
// the copy, every 4096 frames of the walk.
TEST_F(FastPaths, ProgressStepsOfSnapshotAndWalk) {
  struct Bars : KUiHooks {
    bool ProgressVisible() const override { return true; }
    void ProgressTitle(const std::string& title) override { log += title + ": "; }
    void ProgressBar(int percent) override { log += std::to_string(percent) + " "; }
    std::string log;
  } ui;
  KBankSet set(swap_, KHeadlessVoice::Factory(nullptr), &ui);
  Fill(set.Bank(1), 2, 16, Loud(2, 16, kFrames));
  ASSERT_TRUE(set.Bank(1).MathAmplifier(150));
  std::string expected = "Save Undo: ";
  for (int64_t done = 4096; done < kFrames * 4; done += 4096)
    expected += std::to_string(done * 100 / (kFrames * 4)) + " ";
  expected += "100 Mathematical amplifier: ";
  for (int64_t done = 4096; done <= kFrames; done += 4096) expected += std::to_string(done * 100 / kFrames) + " ";
  EXPECT_EQ(ui.log, expected);
}

// A voice's samples as the MXV key stream stores them, pair by pair.
std::vector<uint8_t> Scrambled(std::vector<uint8_t> data, uint8_t keyA, uint8_t keyB) {
  for (size_t i = 0; i + 1 < data.size(); i += 2, ++keyA, --keyB) {
    const uint8_t first = data[i];
    data[i] = uint8_t(data[i + 1] ^ keyB);
    data[i + 1] = uint8_t(first ^ keyA);
  }
  return data;
}

using FastFiles = VoiceTests;

// Every file format in every sample format, each voice longer than a copy
// block and the bar of its save and load; MXV files are also read with keys
// chosen here.
TEST_F(FastFiles, EveryFileFormatInEverySampleFormat) {
  constexpr int32_t frames = 150001;  // 600 KB in 16-bit stereo
  constexpr size_t kHeaderBytes[] = {128, 44, 42, 0};
  struct Bars : KUiHooks {
    bool ProgressVisible() const override { return true; }
    void ProgressBar(int percent) override { log += std::to_string(percent) + " "; }
    std::string log;
  } ui;
  KBankSet set(swap_, KHeadlessVoice::Factory(nullptr), &ui);
  for (auto [channels, bits] : kFormats) {
    const std::vector<uint8_t> raw = Loud(channels, bits, frames);
    const std::vector<uint8_t> data(raw.begin(), raw.begin() + long(raw.size() & ~size_t(3)));
    std::string bars;
    for (int64_t done = 4096; done < int64_t(data.size()); done += 4096)
      bars += std::to_string(done * 100 / int64_t(data.size())) + " ";
    bars += "100 ";
    for (Kind kind : kKinds) {
      const std::string path = PathOf("v."s + kName[int(kind)]);
      SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit " << path);
      Fill(set.Bank(0), channels, bits, raw);  // the copy buffer: no bank holds its file
      ui.log.clear();
      ASSERT_TRUE(FindFileFormat(TypeOf(kind))->Save(set.Bank(0), path));
      ASSERT_TRUE(LoadAs(set.Bank(2), kind, path, channels, bits));
      EXPECT_EQ(ui.log, bars + bars);
      EXPECT_EQ(Bytes(set.Bank(2)), data);
      std::vector<uint8_t> file = ReadBytes(path);
      const auto at = long(kHeaderBytes[int(kind)]);
      ASSERT_EQ(file.size(), size_t(at) + data.size());
      std::vector<uint8_t> expected = data;
      if (kind == Kind::Mxv) expected = Scrambled(data, file[0x1A + file[0x18]], file[0x1A + file[0x19]]);
      EXPECT_EQ(std::vector<uint8_t>(file.begin() + at, file.end()), expected);
      if (kind != Kind::Mxv) continue;
      // Key indices 61 and 0 on a table of other bytes.
      file[0x18] = 61;
      file[0x19] = 0;
      for (int i = 0; i < 62; ++i) file[size_t(0x1A + i)] = uint8_t(i * 37 + 11);
      const std::vector<uint8_t> rescrambled = Scrambled(data, file[0x1A + 61], file[0x1A]);
      std::copy(rescrambled.begin(), rescrambled.end(), file.begin() + at);
      WriteBytes(PathOf("keys.mxv"), file);
      ASSERT_TRUE(set.Bank(2).LoadMxvFile(PathOf("keys.mxv")));
      EXPECT_EQ(Bytes(set.Bank(2)), data);
    }
  }
}

}  // namespace
