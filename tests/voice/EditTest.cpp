// The edits, translations and marker commands on long voices in all four sample formats against the same work done
// here frame by frame through cells; the rules every edit obeys; the mixer, split and merge, and the undo store.
#include <climits>
#include <cmath>

#include "VoiceTests.h"
#include "voice/EditFrames.h"

namespace {

using Raw = std::vector<uint8_t>;
using Marks = VoiceTests::Marks;
using Change = std::function<void(KPcmCell&, int32_t)>;

constexpr std::pair<int, int> kFormats[] = {{1, 8}, {1, 16}, {2, 8}, {2, 16}};
// 4 to 5 windows in 16-bit stereo, odd in every unit; marked M..R, FLG F, L frames marked.
constexpr int32_t E = 70001, M = 5000, R = 61000, F = 33333, L = R - M + 1;

// The bytes of `count` cells given by frame(j), j = 0..count - 1.
Raw Cells(int64_t count, const std::function<KPcmCell(int64_t)>& frame) {
  Raw out;
  for (int64_t j = 0; j < count; ++j) {
    const KPcmCell cell = frame(j);
    out.insert(out.end(), cell.Raw, cell.Raw + cell.FrameBytes);
  }
  return out;
}

// The frames of a voice in one sample format, read here cell by cell; `cell` is silent, of the voice's format.
struct KModel {
  Raw raw;
  KPcmCell cell;

  int64_t Count() const { return int64_t(raw.size()) / cell.FrameBytes; }
  // Frame i (0-based) decoded; silence past the end.
  KPcmCell At(int64_t i) const {
    KPcmCell c = cell;
    if (i < Count()) c.Decode(&raw[size_t(i * cell.FrameBytes)]);
    return c;
  }
};
using Expect = std::function<Raw(const KModel&)>;

// The voice's frames first..first + count - 1 (0-based) part after part; silence where first is -1.
Expect Spliced(std::vector<std::pair<int64_t, int64_t>> parts) {
  return [=](const KModel& m) {
    Raw all;
    for (auto [first, count] : parts)
      for (int64_t j = 0; j < count; ++j) {
        const KPcmCell c = first < 0 ? m.cell : m.At(first + j);
        all.insert(all.end(), c.Raw, c.Raw + c.FrameBytes);
      }
    return all;
  };
}
// Each frame p (1-based) decoded, changed by change(cell, p) and stored.
Expect PerFrame(const Change& change) {
  return [=](const KModel& m) {
    return Cells(m.Count(), [&](int64_t j) {
      KPcmCell c = m.At(j);
      change(c, int32_t(j + 1));
      c.Store();
      return c;
    });
  };
}
Change Inside(double factor) {
  return [factor](KPcmCell& c, int32_t p) { c.Scale(p >= M && p <= R ? factor : 1); };
}
// The fades' factors: (p - M) / L in, 1 - (p - M) / (L - 1) out; the mutes silence inside or outside MKL..MKR.
Change Faded(bool in) {
  return [in](KPcmCell& c, int32_t p) {
    c.Scale(p < M || p > R ? 1 : in ? (p - M) / double(L) : 1 - (p - M) / double(L - 1));
  };
}
Change Muted(bool inside) {
  return [inside](KPcmCell& c, int32_t p) { (p >= M && p <= R) == inside ? c.Clear() : void(); };
}
// The copy pasted at FLG `f`: added to the voice's frames (silence past its END), which stay after it, or over
// them, which then end with it.
Expect Pasted(int64_t f, bool mix) {
  return [=](const KModel& m) {
    return Cells(mix ? std::max(m.Count(), f - 1 + L) : f - 1 + L, [&](int64_t j) {
      KPcmCell c = m.At(j);
      if (j < f - 1 || j >= f - 1 + L) return c;
      const KPcmCell copy = m.At(M - 1 + j - (f - 1));
      if (!mix) return copy;
      c.Add(copy);
      c.Store();
      return c;
    });
  };
}
// output[j]: for k = 0..n while j >= k d, frame j - k d scaled by a^k, summed onto silence and stored.
Expect Echoed(double a, int n, int64_t d) {
  return [=](const KModel& m) {
    return Cells(m.Count() + n * d, [&](int64_t j) {
      KPcmCell sum = m.cell;
      double g = 1;
      for (int k = 0; k <= n && j >= k * d; ++k, g *= a) {
        KPcmCell echo = m.At(j - k * d);
        echo.Scale(g);
        sum.Add(echo);
      }
      sum.Store();
      return sum;
    });
  };
}
Expect Converted(int channels, int bits) {
  return [=](const KModel& m) {
    return Cells(m.Count(), [&](int64_t j) {
      KPcmCell to(channels, bits / 8);
      to.ConvertFrom(m.At(j));
      return to;
    });
  };
}
VoiceTests::Run Amp(double percent) {
  return [percent](KPcmFiles& v) { return v.MathAmplifier(percent); };
}
VoiceTests::Run Click(void (KPcmFiles::*click)(int32_t), int32_t p) {
  return [=](KPcmFiles& v) { return (v.*click)(p), true; };
}
// `run` with FLG at `f`.
VoiceTests::Run AtFlg(int32_t f, bool (KPcmFiles::*run)()) {
  return [=](KPcmFiles& v) { return (v.FLG = f), (v.*run)(); };
}
struct EditRow {
  std::string name;
  VoiceTests::Run run;
  Expect expected;
  Marks marks;
};

// Every edit that moves or changes frames, and the marker commands, on the voice marked M..R with FLG F and the marked
// area in the copy buffer: the bytes it leaves and the markers.
std::vector<EditRow> EditRows() {
  const Marks same{E, M, R, F, 1};
  const Expect unchanged = Spliced({{0, E}});
  std::vector<EditRow> rows = {
      {"paste-insert",
       &KPcmFiles::PasteByInsert,
       Spliced({{0, F}, {M - 1, L}, {F, E - F}}),
       {E + L, F, F + L - 1, 1, 1}},
      {"paste-cover", &KPcmFiles::PasteByCover, Pasted(F, false), {F - 1 + L, F, F + L - 1, 1, 1}},
      {"paste-mix", &KPcmFiles::PasteByMix, Pasted(F, true), {F - 1 + L, F, F + L - 1, 1, 1}},
      // Pasted inside the voice: the frames after the copy stay after a mix, go after a cover.
      {"paste-cover inside", AtFlg(2, &KPcmFiles::PasteByCover), Pasted(2, false), {L + 1, 2, L + 1, 1, 1}},
      {"paste-mix inside", AtFlg(2, &KPcmFiles::PasteByMix), Pasted(2, true), {E, 2, L + 1, 1, 1}},
      {"cut-marked", &KPcmFiles::CutMarked, Spliced({{0, M - 1}, {R, E - R}}), {E - L, 1, E - L, 1, 1}},
      {"cut-unmark", &KPcmFiles::CutUnmark, Spliced({{M - 1, L}}), {L, 1, L, 1, 1}},
      {"mute-marked", &KPcmFiles::MuteMarked, PerFrame(Muted(true)), same},
      {"mute-unmark", &KPcmFiles::MuteUnmark, PerFrame(Muted(false)), same},
      {"fade-in", &KPcmFiles::FadeIn, PerFrame(Faded(true)), same},
      {"fade-out", &KPcmFiles::FadeOut, PerFrame(Faded(false)), same},
      {"amp 150", Amp(150), PerFrame(Inside(1.5)), same},
      {"amp 999", Amp(999), PerFrame(Inside(9.99)), same},
      {"insert-mute",
       [](KPcmFiles& v) { return v.InsertMute(9999); },
       Spliced({{0, F}, {-1, 9999}, {F, E - F}}),
       {E + 9999, F, F + 9998, 1, 1}},
      // END moves to FLG only with more than two frames behind it.
      {"set-end", &KPcmFiles::SetEndAtFlg, Spliced({{0, F}}), {F, 1, F, 1, 1}},
      {"set-end near END", AtFlg(E - 2, &KPcmFiles::SetEndAtFlg), unchanged, {E, M, R, E - 2, 1}},
      // MKL = FLG, MKR = FLG + count - 1 up to END; Goto puts ZiStart 32 frames before; clicks clamp and crossed
      // markers swap.
      {"auto-mark 100", [](KPcmFiles& v) { return v.AutoMark(100); }, unchanged, {E, F, F + 99, F, 1}},
      {"auto-mark max", [](KPcmFiles& v) { return v.AutoMark(INT32_MAX); }, unchanged, {E, F, E, F, 1}},
      {"goto mkr", [](KPcmFiles& v) { return v.GotoMkr(), true; }, unchanged, {E, M, R, F, R - 32}},
      {"set-mkl past END", Click(&KPcmFiles::SetMklAt, INT32_MAX), unchanged, {E, R, E, F, 1}},
      {"set-mkr before 1", Click(&KPcmFiles::SetMkrAt, -5), unchanged, {E, 1, M, F, 1}}};
  // 60 % at 16000 Hz: four echoes of 4480 frames; 99 % at 10 Hz: 63 of one frame; 90 % at 22050 Hz: 21 of 2205 frames;
  // an echo while a^k >= 0.1.
  for (auto [rate, delay, attenuation, n] : {std::tuple{16000, 280.0, 60.0, 4},
                                             {10, 100.0, 99.0, 63},
                                             {22050, 100.0, 90.0, 21},
                                             {10, 100.0, 9.9, 0},
                                             {10, 100.0, 10.0, 1}}) {
    const int32_t d = int32_t(delay * 0.001 * rate), end = E + n * d;
    auto echo = [=](KPcmFiles& v) { return (v.SampleRate = rate), v.Echo(delay, attenuation); };
    rows.push_back(
        {"echo " + std::to_string(attenuation), echo, Echoed(attenuation * 0.01, n, d), {end, 1, end, 1, 1}});
  }
  for (auto [channels, bits] : kFormats) {
    auto translate = [=](KPcmFiles& v) {
      v.TranslateFormat(channels, bits);
      return v.Channels == channels && v.BitsPerSample == bits;
    };
    rows.push_back(
        {"translate to " + std::to_string(channels * 100 + bits), translate, Converted(channels, bits), same});
  }
  return rows;
}

using Edits = VoiceTests;

TEST_F(Edits, FramesAndMarkersInEveryFormat) {
  const std::vector<EditRow> rows = EditRows();
  for (auto [channels, bits] : kFormats) {
    const KModel model{Pattern(size_t(E * channels * bits / 8)), KPcmCell(channels, bits / 8)};
    for (const EditRow& row : rows) {
      SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit " << row.name);
      Fill(Current(), channels, bits, model.raw);
      Mark(Current(), M, R, F);
      ASSERT_TRUE(Current().CopyMarked());
      EXPECT_EQ(Bytes(Buffer()), Spliced({{M - 1, L}})(model));
      ASSERT_TRUE(row.run(Current()));
      EXPECT_EQ(Bytes(Current()), row.expected(model));
      EXPECT_EQ(MarksOf(Current()), row.marks);
    }
  }
}

// Fade-in needs MKR - MKL + 1 > 16, fade-out MKR > MKL and END > 2, the amplifier MKR - MKL >= 10 (else it leaves the
// voice alone).
TEST_F(Edits, ThresholdsOfFadesAndAmplifier) {
  const Run amp = [](KPcmFiles& v) { return v.MathAmplifier(50); };
  const std::tuple<Run, int32_t, int32_t, int32_t, bool, bool> rows[] = {{&KPcmFiles::FadeIn, 40, 1, 16, false, false},
                                                                         {&KPcmFiles::FadeIn, 40, 1, 17, true, true},
                                                                         {&KPcmFiles::FadeOut, 40, 5, 5, false, false},
                                                                         {&KPcmFiles::FadeOut, 40, 4, 5, true, true},
                                                                         {&KPcmFiles::FadeOut, 2, 1, 2, false, false},
                                                                         {amp, 40, 1, 10, true, false},
                                                                         {amp, 40, 1, 11, true, true}};
  for (const auto& [run, frames, mkl, mkr, ok, changes] : rows) {
    SCOPED_TRACE(testing::Message() << frames << " " << mkl << ".." << mkr);
    Fill16(Current(), 2, std::vector<int16_t>(size_t(frames) * 2, 1700));
    Mark(Current(), mkl, mkr, 1);
    const State before = Capture(Current());
    EXPECT_EQ(run(Current()), ok);
    EXPECT_EQ(Capture(Current()) != before, changes);
  }
}

// A voice of `frames` frames whose sample of channel k at frame j (0-based) is wave(j, k), stored as a cell stores it.
void FillWave(KPcmFiles& v, int channels, int bits, int64_t frames, const std::function<double(int64_t, int)>& wave) {
  VoiceTests::Fill(v, channels, bits, Cells(frames, [&](int64_t j) {
                     KPcmCell c(channels, bits / 8);
                     c.Value1 = wave(j, 0);
                     c.Value2 = channels == 2 ? wave(j, 1) : 0;
                     c.Store();
                     return c;
                   }));
}

// Normalise brings the marked area's peak (on either side, in either channel) to the level within 0.05 dB and never
// past full scale, whatever the gain, and leaves the unmarked frames alone; undo restores the voice. A silent area
// changes nothing, with a message.
TEST_F(Edits, NormalizeBringsThePeakToTheLevel) {
  constexpr int32_t kFrames = 3000;
  // channels, bits, MKL, MKR, the peak in the marked area as a part of full scale (negative: on the negative side), the
  // level asked in dBFS
  const std::tuple<int, int, int32_t, int32_t, double, double> rows[] = {
      {1, 8, 1001, 2000, 0.3, -1.0},  {1, 16, 1, kFrames, 0.001, -1.0}, {2, 8, 1, kFrames, -104.0 / 127, 0.0},
      {2, 16, 700, 2900, -0.8, -6.0}, {1, 8, 1, kFrames, -0.05, -1.0},  {2, 16, 1001, 2000, 0.0, -1.0}};
  for (auto [channels, bits, mkl, mkr, peak, level] : rows) {
    SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit " << mkl << ".." << mkr << " " << peak);
    const double full = bits == 8 ? 127 : 32767;
    // A tone whose other side reaches 0.7 of the peak; channel 1 of a stereo voice half as loud; 0.9 of full scale
    // outside the marked area.
    FillWave(Current(), channels, bits, kFrames, [&](int64_t j, int k) {
      const double s = std::sin(double(j) * 0.3), a = j + 1 >= mkl && j + 1 <= mkr ? std::abs(peak) : 0.9;
      return s * a * full * (channels == 2 && k == 0 ? 0.5 : 1) * ((s > 0) == (peak > 0) ? 1 : 0.7);
    });
    Mark(Current(), mkl, mkr, 1);
    const State before = Capture(Current());
    messages_.clear();
    ASSERT_EQ(Current().Normalize(level), peak != 0);
    const Raw& was = std::get<0>(before);
    const KModel now{Bytes(Current()), KPcmCell(channels, bits / 8)};
    const size_t head = size_t(mkl - 1) * now.cell.FrameBytes, tail = size_t(mkr) * now.cell.FrameBytes;
    EXPECT_TRUE(std::equal(was.begin(), was.begin() + long(head), now.raw.begin()) &&
                std::equal(was.begin() + long(tail), was.end(), now.raw.begin() + long(tail)));
    if (peak == 0) {
      EXPECT_EQ(std::make_tuple(Capture(Current()), Current().UndoDepth(), messages_),
                std::make_tuple(before, 0, std::vector<std::string>{KLoadMessageText(msg::kNormalizeSilent)}));
      continue;
    }
    double top = 0;
    for (int64_t i = mkl - 1; i < mkr; ++i)
      top = std::max({top, std::abs(now.At(i).Value1), std::abs(now.At(i).Value2)});
    EXPECT_LE(top, full);
    EXPECT_NEAR(20 * std::log10(top / full), level, 0.05);
    std::string label;
    EXPECT_TRUE(Current().UndoLabel(label) && label == "Undo : Normalize");
    ASSERT_TRUE(Current().LoadUndo());
    EXPECT_EQ(Capture(Current()), before);
  }
}

// Mark-sound marks a tone burst padded with silence (or noise below the threshold) from its first to its last frame,
// widened by the margin converted at the voice's rate and held within the voice; a burst in channel 2 alone counts.
// Without a frame above the threshold the markers stay, with a message.
TEST_F(Edits, MarkSoundFindsTheEdgesOfABurst) {
  // channels, bits, rate, frames of silence before, of the burst, of silence after, margin in ms
  const std::tuple<int, int, int32_t, int32_t, int32_t, int32_t, double> rows[] = {{1, 8, 8000, 800, 2000, 900, 10},
                                                                                   {2, 16, 16000, 1000, 3000, 700, 10},
                                                                                   {1, 16, 16000, 50, 400, 30, 10},
                                                                                   {2, 8, 22050, 300, 500, 300, 0},
                                                                                   {2, 16, 44100, 500, 0, 500, 10}};
  for (auto [channels, bits, rate, before, burst, after, ms] : rows) {
    SCOPED_TRACE(testing::Message() << channels << "ch " << bits << "bit " << before << "+" << burst << "+" << after);
    const double full = bits == 8 ? 127 : 32767;
    const int32_t end = before + burst + after;
    // A square tone at -20 dBFS in the last channel; around it noise at -60 dBFS in 16-bit, silence in 8-bit.
    FillWave(Current(), channels, bits, end, [&](int64_t j, int k) {
      if (j >= before && j < before + burst) return k == channels - 1 ? (j / 4 % 2 ? -0.1 : 0.1) * full : 0.0;
      return bits == 16 ? (j % 2 ? -30.0 : 30.0) : 0.0;
    });
    Current().SampleRate = rate;
    Mark(Current(), 5, 20, 7);
    const Marks was = MarksOf(Current());
    messages_.clear();
    ASSERT_EQ(Current().MarkSound(-45, ms), burst > 0);
    if (burst == 0) {
      EXPECT_EQ(std::make_pair(MarksOf(Current()), messages_),
                std::make_pair(was, std::vector<std::string>{KLoadMessageText(msg::kNoSound)}));
      continue;
    }
    const double margin = ms * 0.001 * rate;
    EXPECT_NEAR(Current().MKL, std::max(1.0, before + 1 - margin), 1);
    EXPECT_NEAR(Current().MKR, std::min(double(end), before + burst + margin), 1);
    EXPECT_EQ(std::make_tuple(Current().END, Current().FLG, Current().UndoDepth()), std::make_tuple(end, 7, 0));
  }
}

// The frame walks at the very end of a voice of INT32_MAX frames, mono 8-bit (a sparse swap file of 2 GB): the in-place
// walk of the amplifier and the fades over the last frames, that of a mute from MKR + 1 = END + 1 (nothing), and a
// reader put on the last frames or past END; then the mute of the unmarked area of the voice marked whole, its store
// cut to 64 bytes (cheap to snapshot; nothing of it is walked). Each counts a frame past INT32_MAX, which the
// sanitizer build catches where it overflows.
TEST_F(Edits, WalksAtTheEndOfTheLongestVoice) {
  constexpr int64_t kEnd = INT32_MAX, kTail = kEnd - 63;  // the tail: the last 64 frames
  KPcmFiles& v = Current();
  const Raw tail = Pattern(64);
  ASSERT_TRUE(v.Storage->SetSize(INT32_MAX));
  v.END = INT32_MAX;
  auto bytesAt = [&v](int32_t at) {
    const uint8_t* view = v.Storage->MapView(at, 64);
    Raw bytes(view, view + (view ? 64 : 0));
    v.Storage->UnmapView(view);
    return bytes;
  };
  // Each frame of from..to gets its own position as raw sample.
  for (auto [from, to] : {std::pair{kEnd - 40, kEnd}, {kEnd + 1, kEnd}}) {
    ASSERT_TRUE(v.Storage->WriteBytes(INT32_MAX - 64, tail.data(), 64));
    KUiHooks ui;
    KProgress progress(ui, "", 64);
    int64_t done = 0;
    RewriteFrames(*v.Storage, v.MakeCell(), from, to, progress, done,
                  [](KPcmCell& c, int32_t p) { c.SetMono8(uint8_t(p)); });
    Raw expected = tail;
    for (int64_t p = from; p <= to; ++p) expected[size_t(p - kTail)] = uint8_t(p);
    EXPECT_EQ(std::pair(bytesAt(INT32_MAX - 64), done), std::pair(expected, std::max<int64_t>(0, to - from + 1)))
        << from;
  }
  for (int64_t p : {kEnd - 1, kEnd + 1}) {
    KFrameReader reader(v, v.MakeCell());
    reader.SeekFrame(p);
    Raw got, expected;
    for (int64_t q = p; q < p + 3; ++q) {
      got.push_back(reader.Next().Raw[0]);
      expected.push_back(q <= kEnd ? tail[size_t(q - kTail)] : 0x80);
    }
    EXPECT_EQ(got, expected) << p;
  }
  ASSERT_TRUE(v.Storage->SetSize(64));
  std::tie(v.MKL, v.MKR) = std::pair(1, INT32_MAX);
  EXPECT_TRUE(v.MuteUnmark());
  EXPECT_EQ(bytesAt(0), Raw(64, 0));
}

// Each edit does nothing on an empty voice with an empty copy buffer, changes nothing and leaves no file while the swap
// folder is missing or full (with room for the small result of a cover or a cut but not for its snapshot), else is
// undone by label.
TEST_F(Edits, EachEditEmptyRefusedAndUndone) {
  const std::tuple<Run, const char*, bool> rows[] = {
      {&KPcmFiles::PasteByCover, "Undo : Paste by cover", false},
      {&KPcmFiles::PasteByInsert, "Undo : Paste by insert", false},
      {&KPcmFiles::PasteByMix, "Undo : Paste by mix", false},
      {&KPcmFiles::CutMarked, "Undo : Cut marked area", false},
      {&KPcmFiles::CutUnmark, "Undo : Cut unmark area", false},
      {&KPcmFiles::MuteMarked, "Undo : Fill mute marked area", false},
      {&KPcmFiles::MuteUnmark, "Undo : Fill mute unmark area", false},
      {&KPcmFiles::FadeIn, "Undo : Linear Fade-in", false},
      {&KPcmFiles::FadeOut, "Undo : Linear Fade-out", false},
      {&KPcmFiles::SetEndAtFlg, "Undo : Set voice END at FLG position", true},
      {[](KPcmFiles& v) { return v.InsertMute(v.END == 0 ? 0 : 100); }, "Undo : Insert mute", true},
      {[](KPcmFiles& v) { return v.MathAmplifier(150); }, "Undo : Mathematical Amplifier", true},
      {[](KPcmFiles& v) { return v.Normalize(-1); }, "Undo : Normalize", false},
      {[](KPcmFiles& v) { return v.Echo(100, 50); }, "Undo : Echo", true},
      {&KPcmFiles::CopyMarked, nullptr, false},
      {[](KPcmFiles& v) {
         return v.MixBanks({1, 0, 15, -1});
       },
       nullptr, true},
  };
  for (const auto& [run, label, onEmpty] : rows) {
    SCOPED_TRACE(label ? label : "no snapshot");
    Current().ClearBank();
    Buffer().ClearBank();
    EXPECT_EQ(run(Current()), onEmpty);
    EXPECT_EQ(Capture(Current()), Whole(1, 8, 16000, {}));
    Fill(Current(), 2, 16, Pattern(800));
    Mark(Current(), 21, 140, 30);
    Current().ZiStart = 5;
    FillMono8(Buffer(), {140, 150, 160});
    const State before = Capture(Current());
    const size_t files = FilesIn(swap_);
    messages_.clear();
    std::filesystem::rename(swap_, swap_ + ".away");
    EXPECT_FALSE(run(Current()));
    std::filesystem::rename(swap_ + ".away", swap_);
    {
      FileSizeLimit limit(400);
      EXPECT_FALSE(run(Current()));
    }
    EXPECT_EQ(FilesIn(swap_), files);
    ASSERT_EQ(messages_.size(), 2u);
    for (const std::string& message : messages_) EXPECT_NE(message.find(swap_), std::string::npos);
    EXPECT_EQ(Capture(Current()), before);
    EXPECT_EQ(Bytes(Buffer()), (std::vector<uint8_t>{140, 150, 160}));
    EXPECT_EQ(Current().UndoDepth(), 0);
    ASSERT_TRUE(run(Current()));
    std::string text;
    ASSERT_EQ(Current().UndoLabel(text), label != nullptr);
    if (!label) continue;
    EXPECT_EQ(text, label);
    ASSERT_TRUE(Current().LoadUndo());
    EXPECT_EQ(Capture(Current()), before);
  }
}

// A paste in any mode into an empty voice covers from frame 1 in the buffer's format and rate; split gives empty mono
// voices, insert mute silence in the voice's format; a cut of the whole voice leaves it empty with the smallest store.
TEST_F(Edits, OperationsOnAnEmptyVoice) {
  Fill16(Buffer(), 2, {1, -1, 2, -2, 3, -3});
  Buffer().SampleRate = 22050;
  for (Run paste : {&KPcmFiles::PasteByCover, &KPcmFiles::PasteByInsert, &KPcmFiles::PasteByMix}) {
    Current().ClearBank();
    ASSERT_TRUE(paste(Current()));
    EXPECT_EQ(std::make_pair(Capture(Current()), Current().UndoDepth()), std::make_pair(Capture(Buffer()), 0));
  }
  Current().ClearBank();
  std::tie(Current().Channels, Current().BitsPerSample) = std::make_pair(2, 16);
  FillMono8(Voice(3), {1, 2, 3});
  ASSERT_TRUE(Current().SplitChannels(3, 4) && Current().InsertMute(2));
  EXPECT_EQ(std::make_pair(Capture(Voice(3)), Voice(3).Storage->Size()), std::make_pair(Whole(1, 16, 16000, {}), 16));
  EXPECT_EQ(Capture(Current()), Whole(2, 16, 16000, std::vector<uint8_t>(8, 0)));
  ASSERT_TRUE(Current().CutMarked());
  EXPECT_EQ(std::make_pair(Capture(Current()), Current().Storage->Size()), std::make_pair(Whole(2, 16, 16000, {}), 16));
}

// Results past 2^31 - 1 bytes and bad arguments are refused before any change.
TEST_F(Edits, RefusalsChangeNothing) {
  Fill16(Current(), 2, {1, 2, 3, 4});
  Current().SampleRate = 20'000'000;  // an echo delay of 2 s is 40 million frames
  for (KPcmFiles* v : {&Buffer(), &Voice(2)}) {
    FillMono8(*v, {1});
    v->END = 600'000'000;  // 2.4e9 bytes once stereo 16-bit
  }
  FillMono8(Voice(3), {1});
  Fill16(Voice(4), 1, {1});
  const State before = Capture(Current());
  const std::pair<Run, std::string> rows[] = {
      {&KPcmFiles::PasteByInsert, msg::TooLong("the paste")},
      {[](KPcmFiles& v) { return v.InsertMute(INT32_MAX); }, msg::TooLong("the insert")},
      {[](KPcmFiles& v) { return v.Echo(2000, 99); }, msg::TooLong("the echo")},
      {[](KPcmFiles& v) {
         return v.MixBanks({2, 1, 0, 0});
       },
       msg::TooLong("the mix")},
      {[](KPcmFiles& v) { return v.InsertMute(-1); }, KLoadMessageText(msg::kNegativeInsert)},
      {[](KPcmFiles& v) { return v.AutoMark(0); }, KLoadMessageText(msg::kAutoMarkLength)},
      {[](KPcmFiles& v) { return v.SplitChannels(2, 2); }, KLoadMessageText(msg::kSplitSameBank)},
      {[](KPcmFiles& v) { return v.MergeChannels(1, 3); }, KLoadMessageText(msg::kMergeStereoSource)},
      {[](KPcmFiles& v) { return v.MergeChannels(3, 4); }, KLoadMessageText(msg::kMergeWidths)},
      {[](KPcmFiles& v) { return v.MathAmplifier(NAN) || v.MathAmplifier(INFINITY); }, ""},
      {[](KPcmFiles& v) { return v.Echo(280, NAN) || v.Echo(2001, 60) || v.Echo(280, 99.5); }, ""},
      {[](KPcmFiles& v) { return v.Normalize(NAN) || v.Normalize(0.5); }, ""},
      {[](KPcmFiles& v) { return v.MarkSound(NAN, 10) || v.MarkSound(-45, -1) || v.MarkSound(-45, NAN); }, ""},
  };
  for (const auto& [run, message] : rows) {
    SCOPED_TRACE(message);
    messages_.clear();
    EXPECT_FALSE(run(Current()));
    EXPECT_EQ(messages_, message.empty() ? std::vector<std::string>{} : std::vector<std::string>{message});
  }
  EXPECT_EQ(Capture(Current()), before);
  EXPECT_EQ(Current().UndoDepth(), 0);
  EXPECT_EQ(MarksOf(Voice(2)), (Marks{600'000'000, 1, 1, 1, 1}));
}

// The mixer: the longest length and highest rate of the sources with frames; other formats converted, shorter sources
// ending in silence; a bank may be chosen twice and the current voice may be one. Snapshots stay.
TEST_F(Edits, MixLengthRateFormatAndClipping) {
  const Raw a = Pattern(size_t(E) * 2), b = Pattern(size_t(E - 20000) * 2, 3), c = Pattern(4000, 5);
  Fill(Voice(2), 2, 8, a);
  Fill(Voice(3), 1, 16, b);
  Fill(Voice(4), 2, 16, c);
  Voice(3).SampleRate = 44100;
  Voice(5).SampleRate = 48000;  // empty: neither its length nor its rate counts
  FillMono8(Current(), {1, 2});
  ASSERT_TRUE(Current().SnapshotForEdit("Undo : Echo"));
  ASSERT_TRUE(Current().MixBanks({2, 3, 4, 5}));
  const KModel ma{a, KPcmCell(2, 1)}, mb{b, KPcmCell(1, 2)}, mc{c, KPcmCell(2, 2)};
  EXPECT_EQ(Capture(Current()), Whole(2, 16, 44100, Cells(E, [&](int64_t j) {
                                        KPcmCell sum(2, 2), converted(2, 2);
                                        for (const KModel* m : {&ma, &mb}) {
                                          converted.ConvertFrom(m->At(j));
                                          sum.Add(converted);
                                        }
                                        sum.Add(mc.At(j));
                                        sum.Store();
                                        return sum;
                                      })));
  EXPECT_EQ(Current().UndoDepth(), 1);
  Fill16(Current(), 1, {10, 20, 30});
  Fill16(Voice(2), 1, {1, 2, 3, 4});
  ASSERT_TRUE(Current().MixBanks({2, 1, 2, 0}));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{12, 24, 36, 8}));
}

// Split gives each channel to a mono bank in the voice's width and rate; merge makes two mono banks of one width the
// voice's channels, the shorter ending in silence, at the first one's rate. Both drop the snapshots they replace.
TEST_F(Edits, SplitAndMergeChannels) {
  Fill(Current(), 2, 8, {1, 2, 3, 4, 5, 6});
  Current().SampleRate = 11025;
  FillMono8(Voice(6), {9});
  ASSERT_TRUE(Voice(6).SnapshotForEdit("Undo : Echo"));
  const State before = Capture(Current());
  ASSERT_TRUE(Current().SplitChannels(5, 6));
  EXPECT_EQ(Capture(Current()), before);
  EXPECT_EQ(Capture(Voice(5)), Whole(1, 8, 11025, {1, 3, 5}));
  EXPECT_EQ(Capture(Voice(6)), Whole(1, 8, 11025, {2, 4, 6}));
  EXPECT_EQ(Voice(6).UndoDepth(), 0);
  FillMono8(Voice(6), {2, 4, 6, 8});
  Voice(6).SampleRate = 8000;
  ASSERT_TRUE(Current().SnapshotForEdit("Undo : Echo"));
  ASSERT_TRUE(Current().MergeChannels(5, 6));
  EXPECT_EQ(Capture(Current()), Whole(2, 8, 11025, {1, 2, 3, 4, 5, 6, 128, 8}));
  EXPECT_EQ(Current().UndoDepth(), 0);
  // The current bank may be a destination, or a source.
  Fill16(Current(), 2, {1, -1, 2, -2});
  ASSERT_TRUE(Current().SplitChannels(1, 2));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{1, 2}));
  EXPECT_EQ(Samples16(Voice(2)), (std::vector<int16_t>{-1, -2}));
  ASSERT_TRUE(Current().MergeChannels(2, 1));
  EXPECT_EQ(Samples16(Current()), (std::vector<int16_t>{-1, 1, -2, 2}));
}

// Five snapshots keep the newest four, each bank its own, with labels cut to 63 characters; four undos walk back (the
// names stay), a fifth finds nothing. A snapshot that cannot be written names the swap folder and keeps the store; a
// translation takes none.
TEST_F(Edits, UndoKeepsTheNewestFourSnapshots) {
  KPcmFiles& v = Current();
  std::string label;
  EXPECT_FALSE(v.SaveUndo("Undo : Echo") || v.UndoLabel(label));  // an empty voice gets none
  EXPECT_EQ(label, "Undo");
  for (int step = 1; step <= 5; ++step) {
    Fill16(v, 1 + step % 2, std::vector<int16_t>(size_t(step * 2), int16_t(step * 1000)));
    ASSERT_TRUE(v.SaveUndo(step == 2 ? std::string(63, 'x') + "tail" : "Undo : step " + std::to_string(step)));
  }
  FillMono8(v, std::vector<uint8_t>(300000, 7));
  {
    FileSizeLimit limit(100000);
    EXPECT_FALSE(v.SnapshotForEdit("Undo : failed"));
  }
  EXPECT_TRUE(messages_.size() == 1 && LastMessageNames(swap_));
  ASSERT_TRUE(v.TranslateFormat(1, 16));
  std::tie(v.AliasName, v.FileName) = std::make_pair("renamed"s, "/renamed.mxv"s);
  for (int step = 5; step >= 2; --step) {
    ASSERT_TRUE(v.UndoLabel(label) && v.LoadUndo());
    EXPECT_EQ(label, step == 2 ? std::string(63, 'x') : "Undo : step " + std::to_string(step));
    EXPECT_EQ(v.END, step * (2 - step % 2));
  }
  EXPECT_FALSE(v.LoadUndo() || v.UndoLabel(label) || Voice(2).LoadUndo());
  EXPECT_EQ(std::tie(v.AliasName, v.FileName), std::make_tuple("renamed"s, "/renamed.mxv"s));
}

}  // namespace
