// Random command sequences on small voices given patterned samples: every edit, undo past four, bank switches, copy and
// paste across formats, mixer, split and merge with the current bank among the sources, clears. (Loads and saves have
// their own tables.) After every step the voice records are sound, each bank's undo store matches a model of it, an
// undo gives back the exact state the edit started from, a failed step changes nothing, and other voices are unchanged;
// once the bank set is gone its swap folder is empty.
//
// MELOTRIX_STATEFUL_SEED, MELOTRIX_STATEFUL_COUNT (sequences) and MELOTRIX_STATEFUL_FROM (first sequence) choose a
// longer or another run; a failure names the values that repeat it.
#include <sys/stat.h>

#include <cmath>
#include <deque>
#include <random>

#include "VoiceTests.h"

namespace {

using T = VoiceTests;
using VoiceState = decltype(T::StateOf(std::declval<KPcmFiles&>()));
enum { kSamples, kFileName, kAlias, kFileType, kUndoDepth };  // the parts of a VoiceState

#if defined(__SANITIZE_ADDRESS__)
constexpr uint64_t kSequences = 500;  // AddressSanitizer runs them four times slower
#else
constexpr uint64_t kSequences = 2000;
#endif
constexpr int kSteps = 24, kUsedBanks = 4;  // the sequences work in banks 1..4

template <class V>
std::string S(const V& x) {
  if constexpr (std::is_arithmetic_v<V>) return std::to_string(x);
  return testing::PrintToString(x);
}

// Markers within 1..END with MKL <= MKR (all 0 when END is 0), a known format, a store that holds END frames and whose
// swap file is there, at most four snapshots.
bool RecordSound(KPcmFiles& v) {
  struct stat st {};
  const bool empty = v.END == 0 && v.MKL == 0 && v.MKR == 0 && v.FLG == 0 && v.ZiStart == 0;
  const bool inside = v.END >= 1 && 1 <= v.MKL && v.MKL <= v.MKR && v.MKR <= v.END && 1 <= v.FLG && v.FLG <= v.END &&
                      1 <= v.ZiStart && v.ZiStart <= v.END;
  return (v.Channels == 1 || v.Channels == 2) && (v.BitsPerSample == 8 || v.BitsPerSample == 16) &&
         int64_t(v.END) * v.FrameBytes() <= v.Storage->Size() && v.Storage->Size() > 0 &&
         stat(v.Storage->GetFileName().c_str(), &st) == 0 && st.st_size == v.Storage->Size() && (empty || inside) &&
         v.UndoDepth() <= KPcmBank::kUndoSlots;
}

// One sequence: a bank set of its own, random steps, the checks after each.
class KSequence {
 public:
  KSequence(const std::string& swap, uint64_t seed)
      : rng_(seed), banks_(swap, KHeadlessVoice::Factory([this](auto& text) { shown_.push_back(text); })) {
    banks_.SelectBank(1);
  }

  // Runs the steps; what went wrong first, empty when nothing did.
  std::string Run(int steps) {
    for (int step = 0; step < steps && problem_.empty(); ++step) {
      for (int k = 0; k < KBankSet::kVoices; ++k) before_[size_t(k)] = T::StateOf(banks_.Bank(k));
      touched_ = {};
      shown_.clear();
      Step();
      for (int k = 0; k < KBankSet::kVoices && problem_.empty(); ++k) {
        KPcmFiles& v = banks_.Bank(k);
        const char* wrong = !RecordSound(v)                                      ? " is not sound: "
                            : int(undo_[size_t(k)].size()) != v.UndoDepth()      ? " has another number of snapshots: "
                            : !touched_[size_t(k)] && T::StateOf(v) != Before(k) ? " changed unasked: "
                                                                                 : nullptr;
        if (wrong) Expect(false, "bank " + S(k) + wrong + S(T::StateOf(v)));
      }
      Expect(banks_.CurrentVoice == &V(), "the current voice is not the current bank's");
    }
    return problem_;
  }
  std::string Log;

 private:
  int Pick(int n) { return int(rng_() % uint64_t(n)); }
  bool Chance(int percent) { return Pick(100) < percent; }
  int Cur() const { return banks_.CurrentBankNumber; }
  KPcmFiles& V() { return banks_.Bank(Cur()); }
  VoiceState& Before(int bank) { return before_[size_t(bank)]; }
  const T::State& Samples(int bank) { return std::get<kSamples>(Before(bank)); }
  int32_t EndBefore(int bank) { return std::get<4>(Samples(bank))[0]; }
  std::deque<T::State>& Undo(int bank) { return undo_[size_t(bank)]; }
  // A bank of the sequence, the current one more often than the others.
  int SourceBank() { return Chance(40) ? Cur() : 1 + Pick(kUsedBanks); }
  void Expect(bool condition, const std::string& what) {
    if (!condition && problem_.empty()) problem_ = what + "; messages: " + S(shown_);
  }
  // Logs the step with its result and returns the result; the banks it may change are marked touched.
  bool Did(const std::string& what, bool ok, std::initializer_list<int> banks = {}) {
    Log += "bank " + S(Cur()) + ": " + what + " -> " + S(ok) + "\n";
    touched_[size_t(Cur())] = true;
    for (int k : banks) touched_[size_t(k)] = true;
    return ok;
  }
  // The current voice is as it was before the step, but for the parts `expected` changes.
  void ExpectKept(const std::string& what, VoiceState expected) {
    Expect(T::StateOf(V()) == expected, what + " changed the voice");
  }

  void Step() {
    const int kind = Pick(100);
    if (kind < 8) {
      banks_.SelectBank(1 + Pick(kUsedBanks));
      Did("select", true);
    } else if (kind < 23) {
      // New samples (as a load gives, without the file): a format of its own, whole frames, the snapshots kept.
      const int32_t channels = 1 + Pick(2), bits = Chance(50) ? 8 : 16;
      T::Fill(V(), channels, bits, Pattern(size_t(20 + Pick(200)) * size_t(channels * bits / 8), uint32_t(rng_())));
      Did("fill " + S(channels) + " " + S(bits), true);
    } else if (kind < 61) {
      Edit();
    } else if (kind < 71) {
      const bool ok = Did("undo", V().LoadUndo());
      Expect(ok == !Undo(Cur()).empty(), "undo found a snapshot where none was, or none where one was");
      if (!ok) return ExpectKept("an undo without a snapshot", Before(Cur()));
      Expect(T::Capture(V()) == Undo(Cur()).back(), "undo did not restore the exact state before the edit");
      Undo(Cur()).pop_back();
      Expect(std::tie(V().FileName, V().AliasName) ==
                 std::tie(std::get<kFileName>(Before(Cur())), std::get<kAlias>(Before(Cur()))),
             "undo changed the names");
    } else if (kind < 81) {
      Marker();
    } else if (kind < 84) {
      const int32_t channels = 1 + Pick(2), bits = Chance(50) ? 8 : 16;
      const bool ok = Did("translate " + S(channels) + " " + S(bits), V().TranslateFormat(channels, bits));
      Expect(V().Channels == channels && V().BitsPerSample == bits && V().END == EndBefore(Cur()),
             "the translation did not give the format asked for");
      Expect(ok || T::Bytes(V()) == std::get<0>(Samples(Cur())), "a translation that failed changed the samples");
    } else if (kind < 97) {
      ChannelsAndMix(kind);
    } else {
      const bool all = Chance(20);
      for (int k = all ? KBankSet::kFirstBank : Cur(); k <= (all ? KBankSet::kLastBank : Cur()); ++k) {
        touched_[size_t(k)] = true;
        Undo(k).clear();
      }
      if (all) banks_.ClearAllBanks();
      Did(all ? "clear-all" : "clear-bank", all || banks_.ClearCurrentBank());
    }
  }

  // An edit of the current voice: on success it took a snapshot exactly when one was due; on failure it changed
  // nothing. A copy changes only the copy buffer.
  void Edit() {
    KPcmFiles& v = V();
    const int32_t end = v.END, span = v.MKR - v.MKL, frames = Pick(60) - 3;
    const double percent = Chance(5) ? std::nan("") : Pick(300), delay = 90 + Pick(200), attenuation = Pick(62);
    const bool any = end > 0, pasteDue = any && banks_.CopyBuffer().END > 0;
    const std::tuple<std::string, bool, T::Run> rows[] = {
        {"paste-cover", pasteDue, &KPcmFiles::PasteByCover},
        {"paste-insert", pasteDue, &KPcmFiles::PasteByInsert},
        {"paste-mix", pasteDue, &KPcmFiles::PasteByMix},
        {"cut-marked", any, &KPcmFiles::CutMarked},
        {"cut-unmark", any, &KPcmFiles::CutUnmark},
        {"mute-marked", any, &KPcmFiles::MuteMarked},
        {"mute-unmark", any, &KPcmFiles::MuteUnmark},
        {"fade-in", end > 2 && span + 1 > 16, &KPcmFiles::FadeIn},
        {"fade-out", end > 2 && span > 0, &KPcmFiles::FadeOut},
        {"set-end", any && v.FLG < end - 2, &KPcmFiles::SetEndAtFlg},
        {"insert-mute " + S(frames), any && frames > 0, [=](KPcmFiles& x) { return x.InsertMute(frames); }},
        {"amp " + S(percent), any && span >= 10 && std::isfinite(percent),
         [=](KPcmFiles& x) { return x.MathAmplifier(percent); }},
        {"echo " + S(delay) + " " + S(attenuation), any && delay >= 100 && attenuation >= 1,
         [=](KPcmFiles& x) { return x.Echo(delay, attenuation); }}};
    const size_t pick = size_t(Pick(int(std::size(rows)) + 1));
    if (pick == std::size(rows)) {
      Did("copy", v.CopyMarked(), {KBankSet::kCopyBuffer});
      return ExpectKept("copy", Before(Cur()));
    }
    const auto& [name, due, run] = rows[pick];
    const T::State before = T::Capture(v);
    if (!Did(name, run(v))) return ExpectKept(name + " failed but", Before(Cur()));
    if (due) Undo(Cur()).push_back(before);
    if (Undo(Cur()).size() > size_t(KPcmBank::kUndoSlots)) Undo(Cur()).pop_front();
  }

  // The Mark and Goto commands and the clicks move markers only.
  void Marker() {
    const int32_t p = Pick(V().END + 12) - 5;
    auto at = [p](void (KPcmFiles::*click)(int32_t)) { return [click, p](KPcmFiles& x) { (x.*click)(p); }; };
    const std::function<void(KPcmFiles&)> commands[] = {&KPcmFiles::MarkAll,      &KPcmFiles::ResetMKL,
                                                        &KPcmFiles::ResetMKR,     &KPcmFiles::ResetFLG,
                                                        &KPcmFiles::GotoHead,     &KPcmFiles::GotoEnd,
                                                        &KPcmFiles::GotoFlg,      &KPcmFiles::GotoMkl,
                                                        &KPcmFiles::GotoMkr,      [p](KPcmFiles& x) { x.AutoMark(p); },
                                                        at(&KPcmFiles::SetMklAt), at(&KPcmFiles::SetMkrAt),
                                                        at(&KPcmFiles::SetFlgAt)};
    const int pick = Pick(int(std::size(commands)));
    commands[pick](V());
    Did("marker command " + S(pick) + " at " + S(p), true);
    Expect(T::Bytes(V()) == std::get<0>(Samples(Cur())) && V().END == EndBefore(Cur()) &&
               V().UndoDepth() == std::get<kUndoDepth>(Before(Cur())),
           "a marker command changed the samples or the undo store");
  }

  // The mixer keeps the snapshots; split and merge drop those of the voices they replace.
  void ChannelsAndMix(int kind) {
    const int b1 = SourceBank(), b2 = SourceBank();
    if (kind < 89) {
      std::array<int32_t, 4> sources{};
      for (int32_t& s : sources) s = Chance(25) ? 0 : Chance(10) ? 13 : SourceBank();
      return Expect(Did("mix " + S(sources), V().MixBanks(sources)), "the mixer failed");
    }
    const bool split = kind < 93;
    if (split ? Did("split " + S(b1) + " " + S(b2), V().SplitChannels(b1, b2), {b1, b2})
              : Did("merge " + S(b1) + " " + S(b2), V().MergeChannels(b1, b2))) {
      for (int b : split ? std::vector<int>{b1, b2} : std::vector<int>{Cur()})
        if (split || std::max(EndBefore(b1), EndBefore(b2)) > 0) Undo(b).clear();
    } else {
      ExpectKept("a split or merge that failed", Before(Cur()));
    }
  }

  std::mt19937_64 rng_;
  std::vector<std::string> shown_;  // the messages of this step
  KBankSet banks_;
  std::array<std::deque<T::State>, KBankSet::kVoices> undo_;  // the snapshots each bank should hold, oldest first
  std::array<VoiceState, KBankSet::kVoices> before_;
  std::array<bool, KBankSet::kVoices> touched_{};  // the voices this step may change
  std::string problem_;
};

uint64_t EnvNumber(const char* name, uint64_t fallback) {
  const char* text = std::getenv(name);
  return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

TEST(Stateful, RandomSequencesKeepTheVoiceRecordSound) {
  const uint64_t seed = EnvNumber("MELOTRIX_STATEFUL_SEED", 1), from = EnvNumber("MELOTRIX_STATEFUL_FROM", 0);
  const uint64_t count = EnvNumber("MELOTRIX_STATEFUL_COUNT", kSequences);
  // Memory-backed swap files where there are some: the file system's work would be most of the test's time.
  const std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::filesystem::temp_directory_path().string();
  for (uint64_t n = from; n < from + count; ++n) {
    std::string swap = base + "/melotrix-test-XXXXXX", problem, log;  // a folder of its own, so that it repeats alone
    ASSERT_TRUE(mkdtemp(swap.data()));
    {
      KSequence sequence(swap, seed * 1000003u + n);
      problem = sequence.Run(kSteps);
      log = sequence.Log;
    }
    if (problem.empty() && !std::filesystem::is_empty(swap)) problem = "swap files left after the bank set";
    std::filesystem::remove_all(swap);
    ASSERT_EQ(problem, "") << "repeat with MELOTRIX_STATEFUL_SEED=" << seed << " MELOTRIX_STATEFUL_FROM=" << n
                           << " MELOTRIX_STATEFUL_COUNT=1\n"
                           << log;
  }
}

}  // namespace
