// Random command sequences on small voices: loads of good and bad files,
// every edit, undo past four, bank switches, copy and paste across formats,
// mixer, split and merge with the current bank among the sources, clears,
// saves and reloads. After every step the voice record's invariants hold,
// each bank's undo store matches a model of it, an undo gives back the exact
// state the edit started from, and voices the step had no business with are
// unchanged; once the bank set is gone its swap folder is empty.
//
// MELOTRIX_STATEFUL_SEED, MELOTRIX_STATEFUL_COUNT (sequences) and
// MELOTRIX_STATEFUL_FROM (first sequence) choose a longer or another run;
// a failure names the values that repeat it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>

#include "support/TempDir.h"
#include "voice/BankSet.h"
#include "voice/HeadlessVoice.h"

namespace {

// What an undo snapshot restores.
struct KSnapshot {
  std::vector<uint8_t> Bytes;
  int32_t Channels, BitsPerSample, SampleRate, END, MKR, MKL, FLG, ZiStart;
  bool operator==(const KSnapshot&) const = default;
};

// Everything of a voice a step may change.
struct KVoiceState {
  KSnapshot Samples;
  std::string FileName, AliasName;
  KFileType FileType;
  int UndoDepth;
  bool operator==(const KVoiceState&) const = default;
};

inline std::vector<uint8_t> FrameBytes(KPcmFiles& v) {
  const int64_t n = int64_t(v.END) * v.FrameBytes();
  if (n <= 0 || n > v.Storage->Size()) return {};
  uint8_t* view = v.Storage->MapView(0, int32_t(n));
  if (!view) return {};
  std::vector<uint8_t> bytes(view, view + n);
  v.Storage->UnmapView(view);
  return bytes;
}

inline KSnapshot SnapshotOf(KPcmFiles& v) {
  return {FrameBytes(v), v.Channels, v.BitsPerSample, v.SampleRate, v.END, v.MKR, v.MKL, v.FLG, v.ZiStart};
}

inline KVoiceState StateOf(KPcmFiles& v) { return {SnapshotOf(v), v.FileName, v.AliasName, v.FileType, v.UndoDepth()}; }

using KSetState = std::array<KVoiceState, KBankSet::kVoices>;

inline KSetState StateOf(KBankSet& set) {
  KSetState state;
  for (int k = 0; k < KBankSet::kVoices; ++k) state[size_t(k)] = StateOf(set.Bank(k));
  return state;
}

// The invariants of the voice record: markers within 1..END with MKL <= MKR
// (all 0 when END is 0), a known format, a store that holds END frames and
// whose swap file is there, at most four snapshots.
inline std::string CheckRecord(KPcmFiles& v) {
  const std::string bank = "bank " + std::to_string(v.BankNumber) + ": ";
  struct stat st {};
  if ((v.Channels != 1 && v.Channels != 2) || (v.BitsPerSample != 8 && v.BitsPerSample != 16))
    return bank + "format " + std::to_string(v.Channels) + "/" + std::to_string(v.BitsPerSample);
  if (v.END < 0 || int64_t(v.END) * v.FrameBytes() > v.Storage->Size() || v.Storage->Size() <= 0)
    return bank + "store of " + std::to_string(v.Storage->Size()) + " bytes for END " + std::to_string(v.END);
  if (stat(v.Storage->GetFileName().c_str(), &st) != 0 || st.st_size != v.Storage->Size())
    return bank + "swap file " + v.Storage->GetFileName() + " missing or of another length";
  const bool empty = v.END == 0 && v.MKL == 0 && v.MKR == 0 && v.FLG == 0 && v.ZiStart == 0;
  const bool inside = v.END >= 1 && 1 <= v.MKL && v.MKL <= v.MKR && v.MKR <= v.END && 1 <= v.FLG && v.FLG <= v.END &&
                      1 <= v.ZiStart && v.ZiStart <= v.END;
  if (!empty && !inside)
    return bank + "markers END " + std::to_string(v.END) + " MKL " + std::to_string(v.MKL) + " MKR " +
           std::to_string(v.MKR) + " FLG " + std::to_string(v.FLG) + " ZiStart " + std::to_string(v.ZiStart);
  if (v.UndoDepth() > KPcmBank::kUndoSlots) return bank + "undo depth " + std::to_string(v.UndoDepth());
  return "";
}

// The snapshots each bank should hold, oldest first.
class KUndoModel {
 public:
  void Push(int bank, KSnapshot snapshot) {
    std::deque<KSnapshot>& slots = banks_[size_t(bank)];
    slots.push_back(std::move(snapshot));
    if (slots.size() > size_t(KPcmBank::kUndoSlots)) slots.pop_front();
  }
  void Clear(int bank) { banks_[size_t(bank)].clear(); }
  bool Empty(int bank) const { return banks_[size_t(bank)].empty(); }
  KSnapshot Pop(int bank) {  // takes the newest snapshot of `bank`
    KSnapshot newest = std::move(banks_[size_t(bank)].back());
    banks_[size_t(bank)].pop_back();
    return newest;
  }
  int Depth(int bank) const { return int(banks_[size_t(bank)].size()); }

 private:
  std::array<std::deque<KSnapshot>, KBankSet::kVoices> banks_;
};

uint64_t EnvNumber(const char* name, uint64_t fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

constexpr int kUsedBanks = 4;  // the sequences work in banks 1..4
// Fewer sequences under AddressSanitizer, which runs them four times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr uint64_t kSequences = 500;
#else
constexpr uint64_t kSequences = 2000;
#endif
constexpr int kSteps = 24;

uint32_t Bit(int bank) { return 1u << bank; }

// The files the sequences load and save, and which loader each one suits.
class KFilePool {
 public:
  // Good voice files of every format, bad ones, and save targets, in `dir`.
  explicit KFilePool(const std::string& dir);

  std::vector<std::string> Loadable;  // every path a load may name
  std::vector<std::string> Targets;   // save targets (also loadable)
  // A file loads with the loader of its format, and as raw PCM when it is
  // a regular file that is not empty. Raw samples saved from a voice may
  // hold anything, a header too: for them only raw loads are foretold.
  std::optional<bool> Loads(const std::string& path, const KFileFormat& format) const {
    auto it = kinds_.find(path);
    if (it == kinds_.end()) return false;
    if (format.Raw()) return it->second.NonEmpty;
    if (it->second.AnyBytes) return std::nullopt;
    return it->second.Kind == format.Kind;
  }
  void Saved(const std::string& path, const KFileFormat& format, bool nonEmpty) {
    kinds_[path] = {format.Raw() ? nullptr : format.Kind, nonEmpty, format.Raw()};
  }

 private:
  struct KKind {
    const KFileKind* Kind;  // null: no format of its own (raw, garbage)
    bool NonEmpty;
    bool AnyBytes = false;  // raw samples of a voice
  };
  std::map<std::string, KKind> kinds_;
};

KFilePool::KFilePool(const std::string& dir) {
  std::filesystem::create_directory(dir + "/setup");
  KBankSet set(dir + "/setup", KHeadlessVoice::Factory(nullptr));
  std::mt19937 draw(7);
  const int32_t formats[][3] = {{2, 16, 22050}, {1, 8, 11025}, {2, 8, 44100}, {1, 16, 8000}, {2, 16, 8000}};
  int n = 0;
  for (const KFileFormat& format : FileFormats()) {
    KPcmFiles& v = set.Bank(1);
    const int32_t* f = formats[n % 5];
    const int32_t frames = 20 + int32_t(draw() % 200);
    v.ClearBank();
    v.Channels = f[0];
    v.BitsPerSample = f[1];
    v.SampleRate = f[2];
    EXPECT_TRUE(v.Storage->Resize(frames * v.FrameBytes()));
    uint8_t* view = v.Storage->MapView(0, frames * v.FrameBytes());
    for (int32_t i = 0; view && i < frames * v.FrameBytes(); ++i) view[i] = uint8_t(draw());
    v.Storage->UnmapView(view);
    v.END = v.MKR = frames;
    v.MKL = v.FLG = v.ZiStart = 1;
    const std::string path = dir + "/good" + std::to_string(n++) + "." + format.Extension;
    EXPECT_TRUE(format.Save(v, path)) << path;
    Saved(path, format, true);
    Loadable.push_back(path);
  }
  // A WAV file cut inside its samples, bytes of no format, an empty file,
  // a folder and a path that does not exist.
  std::filesystem::copy_file(dir + "/good1.wav", dir + "/cut.wav");
  std::filesystem::resize_file(dir + "/cut.wav", 50);
  kinds_[dir + "/cut.wav"] = {nullptr, true};
  std::FILE* garbage = std::fopen((dir + "/garbage.mxv").c_str(), "wb");
  for (int i = 0; i < 300; ++i) std::fputc(int(draw() & 0xFF), garbage);
  std::fclose(garbage);
  kinds_[dir + "/garbage.mxv"] = {nullptr, true};
  std::fclose(std::fopen((dir + "/empty.pcm").c_str(), "wb"));
  std::filesystem::create_directory(dir + "/folder.wav");
  for (const char* name : {"cut.wav", "garbage.mxv", "empty.pcm", "folder.wav", "missing.voc"})
    Loadable.push_back(dir + "/" + name);
  // Bank013.MXV is the default file name of voice 13 (HOME is the test's folder).
  for (const char* name : {"out.mxv", "out.wav", "out.voc", "out.pcm", "Bank013.MXV"}) {
    Targets.push_back(dir + "/" + name);
    Loadable.push_back(dir + "/" + name);
  }
}

// One sequence: a bank set of its own, random steps, the checks after each.
class KSequence {
 public:
  KSequence(const std::string& swap, KFilePool& files, uint64_t seed)
      : files_(files),
        rng_(seed),
        banks_(swap, KHeadlessVoice::Factory([this](const std::string& text) { messages_.push_back(text); })) {
    banks_.SelectBank(1);
  }

  // Runs the steps; what went wrong first, empty when nothing did.
  std::string Run(int steps) {
    for (int step = 0; step < steps; ++step) {
      before_ = StateOf(banks_);
      touched_ = 0;
      problem_.clear();
      shown_ = messages_.size();
      Step();
      if (problem_.empty()) problem_ = CheckAll();
      if (!problem_.empty()) return problem_;
    }
    return "";
  }
  const std::string& Log() const { return log_; }

 private:
  int Pick(int n) { return int(rng_() % uint64_t(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }
  int Cur() const { return banks_.CurrentBankNumber; }
  KPcmFiles& V() { return banks_.Bank(Cur()); }
  const KVoiceState& Before(int bank) const { return before_[size_t(bank)]; }
  int AnyBank() { return 1 + Pick(kUsedBanks); }
  // A bank of the sequence, the current one more often than the others.
  int SourceBank() { return Chance(40) ? Cur() : AnyBank(); }
  void Fail(const std::string& what) {
    if (problem_.empty()) problem_ = what;
  }
  void Expect(bool condition, const std::string& what) {
    if (!condition) Fail(what);
  }
  // Logs the step with its result and returns the result.
  bool Did(const std::string& what, bool ok) {
    log_ += "bank " + std::to_string(Cur()) + ": " + what + " -> " + (ok ? "true" : "false") + "\n";
    return ok;
  }
  bool Shown(size_t count) const { return messages_.size() == shown_ + count; }
  // The messages of this step, for a report.
  std::string Messages() const {
    std::string text;
    for (size_t k = shown_; k < messages_.size(); ++k) text += "\n  message: " + messages_[k];
    return text;
  }

  void Step();
  void Edit();
  void EditWith(const std::string& name, bool snapshotDue, const std::function<bool(KPcmFiles&)>& run);
  void Load(const std::string& path, const KFileFormat& format);
  void Save(const std::string& path, const KFileFormat& format);
  void Undo();
  void Marker();
  void Translate();
  void Mix();
  void Split();
  void Merge();
  void Clear();
  std::string CheckAll();

  KFilePool& files_;
  std::mt19937_64 rng_;
  std::vector<std::string> messages_;
  KBankSet banks_;
  KUndoModel undo_;
  KSetState before_;
  uint32_t touched_ = 0;  // the voices this step may change
  size_t shown_ = 0;
  std::string problem_;
  std::string log_;
};

void KSequence::Step() {
  const int kind = Pick(100);
  if (kind < 8) {
    const int bank = AnyBank();
    banks_.SelectBank(bank);
    Did("select bank " + std::to_string(bank), true);
    Expect(banks_.CurrentVoice == &banks_.Bank(bank), "the selected bank is not the current voice");
  } else if (kind < 20) {
    const std::vector<std::string>& paths = files_.Loadable;
    Load(paths[size_t(Pick(int(paths.size())))], FileFormats()[size_t(Pick(int(FileFormats().size())))]);
  } else if (kind < 23) {
    const KFileFormat* own = FindFileFormat(V().FileType);
    Load(std::string(V().FileName), *own);
  } else if (kind < 29) {
    Save(files_.Targets[size_t(Pick(int(files_.Targets.size())))],
         FileFormats()[size_t(Pick(int(FileFormats().size())))]);
  } else if (kind < 31) {
    Save(std::string(V().FileName), *FindFileFormat(V().FileType));
  } else if (kind < 61) {
    Edit();
  } else if (kind < 71) {
    Undo();
  } else if (kind < 81) {
    Marker();
  } else if (kind < 84) {
    Translate();
  } else if (kind < 89) {
    Mix();
  } else if (kind < 93) {
    Split();
  } else if (kind < 97) {
    Merge();
  } else {
    Clear();
  }
}

// An edit of the current voice: on success it took a snapshot exactly when
// one was due; on failure it changed nothing.
void KSequence::EditWith(const std::string& name, bool snapshotDue, const std::function<bool(KPcmFiles&)>& run) {
  touched_ |= Bit(Cur());
  const KSnapshot before = SnapshotOf(V());
  const bool ok = Did(name, run(V()));
  if (ok && snapshotDue) undo_.Push(Cur(), before);
  if (!ok) Expect(StateOf(V()) == Before(Cur()), name + " failed but changed the voice");
}

void KSequence::Edit() {
  KPcmFiles& v = V();
  const int32_t end = v.END, span = v.MKR - v.MKL;
  const bool any = end > 0, pasteDue = any && banks_.CopyBuffer().END > 0;
  const std::tuple<const char*, bool, bool (KPcmFiles::*)()> plain[] = {
      {"paste-cover", pasteDue, &KPcmFiles::PasteByCover},
      {"paste-insert", pasteDue, &KPcmFiles::PasteByInsert},
      {"paste-mix", pasteDue, &KPcmFiles::PasteByMix},
      {"cut-marked", any, &KPcmFiles::CutMarked},
      {"cut-unmark", any, &KPcmFiles::CutUnmark},
      {"mute-marked", any, &KPcmFiles::MuteMarked},
      {"mute-unmark", any, &KPcmFiles::MuteUnmark},
      {"fade-in", end > 2 && span + 1 > 16, &KPcmFiles::FadeIn},
      {"fade-out", end > 2 && span > 0, &KPcmFiles::FadeOut},
      {"set-end", any && v.FLG < end - 2, &KPcmFiles::SetEndAtFlg}};
  const int pick = Pick(15);
  if (pick >= 1 && pick <= 10) {
    const auto& [name, due, edit] = plain[pick - 1];
    return EditWith(name, due, [edit](KPcmFiles& x) { return (x.*edit)(); });
  }
  switch (pick) {
    case 0: {
      touched_ |= Bit(0);
      const KSnapshot before = SnapshotOf(v);
      const bool ok = Did("copy", v.CopyMarked());
      KPcmFiles& buffer = banks_.CopyBuffer();
      if (ok) {
        const auto from = before.Bytes.begin() + (before.MKL - 1) * v.FrameBytes();
        const std::vector<uint8_t> marked(from, from + (before.MKR - before.MKL + 1) * v.FrameBytes());
        Expect(FrameBytes(buffer) == marked && buffer.Channels == v.Channels && buffer.SampleRate == v.SampleRate,
               "the copy buffer does not hold the marked area");
      }
      Expect(StateOf(v) == Before(Cur()), "copy changed the voice");
      break;
    }
    case 11: {
      const int32_t frames = Pick(60) - 3;
      return EditWith("insert-mute " + std::to_string(frames), any && frames > 0,
                      [frames](KPcmFiles& x) { return x.InsertMute(frames); });
    }
    case 12: {
      const double percent = Chance(5) ? std::nan("") : Pick(300);
      return EditWith("amp " + std::to_string(percent), any && span >= 10 && std::isfinite(percent),
                      [percent](KPcmFiles& x) { return x.MathAmplifier(percent); });
    }
    case 13: {
      const double delay = 90 + Pick(200), attenuation = Pick(62);
      const bool valid = delay >= 100 && attenuation >= 1;
      return EditWith("echo " + std::to_string(delay) + " " + std::to_string(attenuation), any && valid,
                      [delay, attenuation](KPcmFiles& x) { return x.Echo(delay, attenuation); });
    }
    default: {
      const std::string alias = std::string(size_t(Pick(25)), char('a' + Pick(26)));
      touched_ |= Bit(Cur());
      v.SetAlias(alias);
      Did("alias " + alias, true);
      Expect(v.AliasName == alias.substr(0, 19), "the alias is not cut to 19 characters");
    }
  }
}

// A load refused as a duplicate keeps everything; any other load drops the
// snapshots, and a refused one keeps the rest, after one message.
void KSequence::Load(const std::string& path, const KFileFormat& format) {
  touched_ |= Bit(Cur());
  bool duplicate = false;
  for (int k = KBankSet::kFirstBank; k <= KBankSet::kLastBank; ++k)
    duplicate |= k != Cur() && banks_.Bank(k).FileName == path;
  const std::optional<bool> loads = duplicate ? false : files_.Loads(path, format);
  const bool ok = Did("load " + std::string(format.Kind->Name) + " " + path, format.Load(V(), path));
  Expect(ok == loads.value_or(ok),
         ok ? "a load that should be refused succeeded" : "a load that should succeed was refused" + Messages());
  if (!duplicate) undo_.Clear(Cur());
  KVoiceState expected = Before(Cur());
  expected.UndoDepth = duplicate ? expected.UndoDepth : 0;
  if (ok) {
    Expect(V().FileName == path && V().FileType == format.Type && Shown(0), "a load did not bind the voice");
  } else {
    Expect(StateOf(V()) == expected && Shown(1), "a refused load changed the voice or showed no message");
  }
}

// A save keeps the samples, binds the voice to the file, drops the
// snapshots and reloads voices 13 and 14 when they hold that file (each in
// its own file type, so a reload of another format is refused with its
// message).
void KSequence::Save(const std::string& path, const KFileFormat& format) {
  touched_ |= Bit(Cur()) | Bit(13) | Bit(14);
  const int32_t bytes = int32_t(int64_t(V().END) * V().FrameBytes() & ~int64_t(3));
  const bool ok = Did("save " + std::string(format.Kind->Name) + " " + path, format.Save(V(), path));
  Expect(ok, "a save failed");
  undo_.Clear(Cur());
  files_.Saved(path, format, bytes > 0 || !format.Raw());  // headers make a file of an empty voice
  KVoiceState expected = Before(Cur());
  expected.FileName = path;
  expected.FileType = format.Raw() ? RawFileType(V().Channels, V().BitsPerSample) : format.Type;
  expected.UndoDepth = 0;
  Expect(StateOf(V()) == expected, "a save changed the voice's samples or did not bind it");
  size_t refused = 0;
  for (int k : {13, 14}) {
    KPcmFiles& copy = banks_.Bank(k);
    if (!ok || Cur() > KBankSet::kLastBank || copy.FileName != path) continue;
    const std::optional<bool> loads = files_.Loads(path, *FindFileFormat(copy.FileType));
    if (!loads) return;  // which it is cannot be foretold
    if (!*loads) {
      ++refused;
      continue;
    }
    const std::vector<uint8_t> whole = FrameBytes(V());
    Expect(FrameBytes(copy) == std::vector<uint8_t>(whole.begin(), whole.begin() + bytes),
           "voice " + std::to_string(k) + " did not reload the file saved under its name");
  }
  Expect(Shown(refused), "a save showed " + std::to_string(messages_.size() - shown_) + " messages, not " +
                             std::to_string(refused) + Messages());
}

void KSequence::Undo() {
  touched_ |= Bit(Cur());
  const bool due = !undo_.Empty(Cur());
  const bool ok = Did("undo", V().LoadUndo());
  Expect(ok == due, ok ? "undo found a snapshot where none was" : "undo found no snapshot");
  if (!due) return Expect(StateOf(V()) == Before(Cur()), "an undo without a snapshot changed the voice");
  const KSnapshot expected = undo_.Pop(Cur());
  Expect(SnapshotOf(V()) == expected, "undo did not restore the exact state before the edit");
  Expect(V().FileName == Before(Cur()).FileName && V().AliasName == Before(Cur()).AliasName, "undo changed the names");
}

// The Mark and Goto commands and the clicks move markers only.
void KSequence::Marker() {
  touched_ |= Bit(Cur());
  KPcmFiles& v = V();
  const int32_t p = Pick(v.END + 12) - 5;
  auto with = [](void (KPcmFiles::*command)()) { return [command](KPcmFiles& x) { return (x.*command)(), true; }; };
  auto at = [p](void (KPcmFiles::*click)(int32_t)) { return [click, p](KPcmFiles& x) { return (x.*click)(p), true; }; };
  const std::pair<std::string, std::function<bool(KPcmFiles&)>> commands[] = {
      {"mark-all", with(&KPcmFiles::MarkAll)},
      {"reset-mkl", with(&KPcmFiles::ResetMKL)},
      {"reset-mkr", with(&KPcmFiles::ResetMKR)},
      {"reset-flg", with(&KPcmFiles::ResetFLG)},
      {"goto head", with(&KPcmFiles::GotoHead)},
      {"goto end", with(&KPcmFiles::GotoEnd)},
      {"goto flg", with(&KPcmFiles::GotoFlg)},
      {"goto mkl", with(&KPcmFiles::GotoMkl)},
      {"goto mkr", with(&KPcmFiles::GotoMkr)},
      {"auto-mark " + std::to_string(p), [p](KPcmFiles& x) { return x.AutoMark(p); }},
      {"set-mkl " + std::to_string(p), at(&KPcmFiles::SetMklAt)},
      {"set-mkr " + std::to_string(p), at(&KPcmFiles::SetMkrAt)},
      {"set-flg " + std::to_string(p), at(&KPcmFiles::SetFlgAt)}};
  const auto& [name, run] = commands[Pick(int(std::size(commands)))];
  Did(name, run(v));
  const KSnapshot& before = Before(Cur()).Samples;
  Expect(FrameBytes(v) == before.Bytes && v.END == before.END && v.UndoDepth() == Before(Cur()).UndoDepth,
         "a marker command changed the samples or the undo store");
}

void KSequence::Translate() {
  touched_ |= Bit(Cur());
  const int32_t channels = 1 + Pick(2), bits = Chance(50) ? 8 : 16;
  const int32_t end = V().END;
  const bool ok =
      Did("translate " + std::to_string(channels) + " " + std::to_string(bits), V().TranslateFormat(channels, bits));
  Expect(V().Channels == channels && V().BitsPerSample == bits && V().END == end,
         "the translation did not give the format asked for");
  if (!ok) Expect(FrameBytes(V()) == Before(Cur()).Samples.Bytes, "a translation that failed changed the samples");
}

// The mixer's result is as long as its longest source.
void KSequence::Mix() {
  touched_ |= Bit(Cur());
  std::array<int32_t, 4> sources{};
  int32_t longest = 0;
  for (int32_t& s : sources) {
    s = Chance(25) ? 0 : Chance(10) ? 13 : SourceBank();
    if (s > 0) longest = std::max(longest, Before(s).Samples.END);
  }
  const bool ok = Did("mix " + std::to_string(sources[0]) + " " + std::to_string(sources[1]) + " " +
                          std::to_string(sources[2]) + " " + std::to_string(sources[3]),
                      V().MixBanks(sources));
  Expect(ok, "the mixer failed");
  if (longest > 0) Expect(V().END == longest && V().MKL == 1 && V().MKR == longest, "the mix has another length");
}

void KSequence::Split() {
  const int b1 = SourceBank(), b2 = SourceBank();
  touched_ |= Bit(Cur()) | Bit(b1) | Bit(b2);
  const KSnapshot source = SnapshotOf(V());
  const bool ok = Did("split " + std::to_string(b1) + " " + std::to_string(b2), V().SplitChannels(b1, b2));
  Expect(ok == (source.Channels == 2 && b1 != b2), "split reported the wrong result");
  if (!ok) return Expect(StateOf(V()) == Before(Cur()), "a split that failed changed the voice");
  for (int b : {b1, b2}) {
    undo_.Clear(b);
    const KPcmFiles& dest = banks_.Bank(b);
    Expect(dest.Channels == 1 && dest.END == source.END && dest.BitsPerSample == source.BitsPerSample,
           "a split destination is not the voice's channel");
  }
}

void KSequence::Merge() {
  const int b1 = SourceBank(), b2 = SourceBank();
  touched_ |= Bit(Cur());
  const KVoiceState &s1 = Before(b1), &s2 = Before(b2);
  const bool mergeable =
      s1.Samples.Channels == 1 && s2.Samples.Channels == 1 && s1.Samples.BitsPerSample == s2.Samples.BitsPerSample;
  const int32_t len = std::max(s1.Samples.END, s2.Samples.END);
  const bool ok = Did("merge " + std::to_string(b1) + " " + std::to_string(b2), V().MergeChannels(b1, b2));
  Expect(ok == mergeable, "merge reported the wrong result");
  if (!ok) return Expect(StateOf(V()) == Before(Cur()), "a merge that failed changed the voice");
  if (len == 0) return;
  undo_.Clear(Cur());
  Expect(V().Channels == 2 && V().END == len, "the merge is not a stereo voice of the longer source");
}

void KSequence::Clear() {
  if (Chance(80)) {
    touched_ |= Bit(Cur());
    Did("clear-bank", banks_.ClearCurrentBank());
    undo_.Clear(Cur());
  } else {
    for (int k = KBankSet::kFirstBank; k <= KBankSet::kLastBank; ++k) {
      touched_ |= Bit(k);
      undo_.Clear(k);
    }
    banks_.ClearAllBanks();
    Did("clear-all", true);
  }
}

std::string KSequence::CheckAll() {
  for (int k = 0; k < KBankSet::kVoices; ++k) {
    KPcmFiles& v = banks_.Bank(k);
    std::string wrong = CheckRecord(v);
    if (!wrong.empty()) return wrong;
    if (undo_.Depth(k) != v.UndoDepth())
      return "bank " + std::to_string(k) + ": " + std::to_string(v.UndoDepth()) + " snapshots, expected " +
             std::to_string(undo_.Depth(k));
    if (!(touched_ & Bit(k)) && StateOf(v) != Before(k)) return "bank " + std::to_string(k) + " changed unasked";
  }
  if (banks_.CurrentVoice != &V()) return "the current voice is not the current bank's";
  return "";
}

// Sets an environment variable for the scope and puts the old value back.
class EnvScope {
 public:
  EnvScope(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~EnvScope() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

// Memory-backed files where there are some: every save flushes its file to
// the disk, which would be most of the test's time.
std::string ScratchBase() {
  std::error_code error;
  const bool shm = std::filesystem::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0;
  return shm ? "/dev/shm" : std::filesystem::temp_directory_path().string();
}

TEST(Stateful, RandomSequencesKeepTheVoiceRecordSound) {
  const uint64_t seed = EnvNumber("MELOTRIX_STATEFUL_SEED", 1);
  const uint64_t from = EnvNumber("MELOTRIX_STATEFUL_FROM", 0);
  const uint64_t count = EnvNumber("MELOTRIX_STATEFUL_COUNT", kSequences);
  EnvScope tmp("TMPDIR", ScratchBase());
  for (uint64_t n = from; n < from + count; ++n) {
    // Each sequence starts from fresh files, so that it repeats alone; the
    // default file names lie among them.
    TempDir dir;
    EnvScope home("HOME", dir.Path());
    KFilePool files(dir.Path());
    const std::string swap = dir / "SYS_DATA";
    std::filesystem::create_directory(swap);
    std::string problem, log;
    {
      KSequence sequence(swap, files, seed * 1000003u + n);
      problem = sequence.Run(kSteps);
      log = sequence.Log();
    }
    const auto left = std::distance(std::filesystem::directory_iterator(swap), {});
    if (problem.empty() && left != 0) problem = std::to_string(left) + " swap files left after the bank set";
    ASSERT_EQ(problem, "") << "repeat with MELOTRIX_STATEFUL_SEED=" << seed << " MELOTRIX_STATEFUL_FROM=" << n
                           << " MELOTRIX_STATEFUL_COUNT=1\n"
                           << log;
  }
}

}  // namespace
