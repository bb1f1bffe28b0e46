// What the voice tests share: a voice's whole state for exact comparisons, patterned samples, files in the test's
// folder with byte edits, the refusal texts, and for the fault tests a progress window whose first step runs a fault.
#pragma once

#include <unistd.h>

#include <array>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <tuple>
#include <vector>

#include "platform/LittleEndian.h"
#include "resources/StringTable.h"
#include "support/FileSizeLimit.h"
#include "support/VoiceFixture.h"

using namespace std::string_literals;

// The texts as the user reads them; Text fills each %s or %d with the next argument.
constexpr const char* kNotValid = "Error 001 \n\nThe file : %s \nis not a valid %s file !!!";
constexpr const char* kInBank =
    "Error 002 \n\nThe file : %s \nWas exist already on Melotrix BankID = %d\nSystem can not reload it !!!";
constexpr const char* kNoData =
    "Error 003 \n\nThe file : %s \nCan not find the data-chunk \n"
    "It's format is not RIFF-WAV \nSystem can not load it !!!";
constexpr const char* kCompressed =
    "Error 004 \n\nThe file : %s \nIt is a compressed WAV format \nSystem can not load it !!!";
constexpr const char* kCannotCreate = "Error 005 \n\nThe file : %s \nSystem can not create it !!!";
inline std::string Text(std::string text, const std::vector<std::string>& args) {
  for (size_t i = 0, at = 0; i < args.size() && (at = text.find('%', at)) != std::string::npos; at += args[i++].size())
    text.replace(at, 2, args[i]);
  return text;
}
// Bytes that differ from their neighbours and from any other seed's.
inline std::vector<uint8_t> Pattern(size_t n, uint32_t seed = 1) {
  std::vector<uint8_t> bytes(n);
  for (uint32_t x = seed * 2654435761u + 12345; uint8_t & b : bytes) b = uint8_t((x = x * 1103515245u + 12345) >> 16);
  return bytes;
}
// `value` as `n` little-endian bytes.
inline std::string Le(uint32_t value, int n) {
  std::string s(size_t(n), '\0');
  PutLe(reinterpret_cast<uint8_t*>(s.data()), value, n);
  return s;
}
// `bytes` written over a file at `at` ('='), inserted there ('+'), or the file cut to `at` bytes ('<').
struct Edit {
  size_t at;
  std::string bytes;
  char how = '=';
};

class VoiceTests : public VoiceFixture {
 public:
  using Run = std::function<bool(KPcmFiles&)>;
  using Marks = std::array<int32_t, 5>;  // END, MKL, MKR, FLG, ZiStart
  using State = std::tuple<std::vector<uint8_t>, int32_t, int32_t, int32_t, Marks>;
  using VoiceFixture::Bytes;
  using VoiceFixture::Fill;

  static Marks MarksOf(const KPcmFiles& v) { return {v.END, v.MKL, v.MKR, v.FLG, v.ZiStart}; }
  static State Capture(KPcmFiles& v) { return {Bytes(v), v.Channels, v.BitsPerSample, v.SampleRate, MarksOf(v)}; }
  // Everything a refused load or a failed edit or save must keep (a refused load drops the undo snapshots).
  static auto StateOf(KPcmFiles& v) {
    return std::make_tuple(Capture(v), v.FileName, v.AliasName, v.FileType, v.UndoDepth());
  }
  static void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  }
  static std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 protected:
  enum class Kind { Mxv, Wav, Voc, Raw };
  static constexpr Kind kKinds[] = {Kind::Mxv, Kind::Wav, Kind::Voc, Kind::Raw};
  static constexpr const char* kName[] = {"MXV", "WAV", "VOC", "PCM"};

  // The state of a voice of `bytes` in the given format, marked whole.
  static State Whole(int32_t channels, int32_t bits, int32_t rate, const std::vector<uint8_t>& bytes) {
    const int32_t end = int32_t(bytes.size()) * 8 / (channels * bits), one = end > 0;
    return {bytes, channels, bits, rate, {end, one, end, one, one}};
  }
  static void Mark(KPcmFiles& v, int32_t mkl, int32_t mkr, int32_t flg) {
    std::tie(v.MKL, v.MKR, v.FLG) = std::tie(mkl, mkr, flg);
  }
  // A voice of `frames` patterned frames at `rate`, with an alias too long to be kept whole.
  static void GiveVoice(KPcmFiles& v, int32_t channels, int32_t bits, int32_t frames, int32_t rate = 22050) {
    Fill(v, channels, bits, Pattern(size_t(frames) * size_t(channels * bits / 8), uint32_t(frames)));
    v.SampleRate = rate;
    v.SetAlias("twenty-one characters");
  }
  KPcmFiles& Buffer() { return banks_.CopyBuffer(); }

  std::string PathOf(const std::string& name) const { return dir_ / name; }
  static std::vector<uint8_t> Edited(std::vector<uint8_t> f, const std::vector<Edit>& edits) {
    for (const Edit& e : edits) {
      if (e.how == '<') f.resize(e.at);
      if (e.how == '+') f.insert(f.begin() + long(e.at), e.bytes.begin(), e.bytes.end());
      if (e.how == '=') std::copy(e.bytes.begin(), e.bytes.end(), f.begin() + long(e.at));
    }
    return f;
  }
  // Saves or loads in the format of `kind` (raw: mono 8-bit); raw files load in the format given, which may be none the
  // table knows (a load that must be refused).
  static const KFileFormat& FormatOf(Kind k) {
    constexpr KFileType kTypes[] = {KFileType::Mxv, KFileType::Wav, KFileType::Voc, KFileType::RawMono8};
    return *FindFileFormat(kTypes[int(k)]);
  }
  static bool SaveAs(KPcmFiles& v, Kind k, const std::string& p) { return FormatOf(k).Save(v, p); }
  static bool LoadAs(KPcmFiles& v, Kind k, const std::string& p, int32_t channels = 1, int32_t bits = 8) {
    return k == Kind::Raw ? v.LoadRawPcmFile(p, channels, bits) : FormatOf(k).Load(v, p);
  }
  std::string LastMessage() const { return messages_.empty() ? std::string() : messages_.back(); }
  // True when the last message names `what`.
  bool LastMessageNames(const std::string& what) const { return LastMessage().find(what) != std::string::npos; }
  static size_t FilesIn(const std::string& folder) {
    std::error_code error;
    size_t n = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) ++n;
    return n;
  }
};

// A progress window that is always visible; once a fault is armed, the first bar step under the title `when` runs it
// (in the middle of a copy or an edit).
struct KFaultUi : KUiHooks {
  bool ProgressVisible() const override { return true; }
  void ProgressTitle(const std::string& title) override { current = title; }
  void ProgressBar(int) override {
    if (!fault || current != when) return;
    std::function<void()> now = std::move(fault);
    fault = nullptr;
    now();
  }
  void Arm(const std::string& title, std::function<void()> run) {
    when = title;
    fault = std::move(run);
  }
  std::string current, when;
  std::function<void()> fault;
};

// A bank set on `swap` whose progress window is `ui_`; bank 1 current.
class FaultTests : public VoiceTests {
 protected:
  std::unique_ptr<KBankSet> MakeSet(const std::string& swap) {
    auto set = std::make_unique<KBankSet>(
        swap, KHeadlessVoice::Factory([this](const std::string& text) { messages_.push_back(text); }), &ui_);
    set->SelectBank(1);
    return set;
  }
  // Runs each of `runs` and expects one message naming each of `named`, with bank 1, the copy buffer and the files in
  // `folder` as they were.
  void ExpectEachFails(KBankSet& set, const std::string& folder, const std::vector<std::string>& named,
                       const std::vector<std::function<bool()>>& runs) {
    const auto before = StateOf(set.Bank(1)), buffer = StateOf(set.Bank(0));
    const size_t files = FilesIn(folder);
    for (size_t k = 0; k < runs.size(); ++k) {
      SCOPED_TRACE(k);
      messages_.clear();
      EXPECT_FALSE(runs[k]());
      ASSERT_EQ(messages_.size(), 1u);
      for (const std::string& what : named) EXPECT_TRUE(LastMessageNames(what)) << LastMessage();
      EXPECT_EQ(std::make_tuple(StateOf(set.Bank(1)), StateOf(set.Bank(0)), FilesIn(folder)),
                std::make_tuple(before, buffer, files));
    }
  }
  KFaultUi ui_;
};
