// The state the stateful test compares: every voice's record, names and
// samples, a model of each bank's undo store, and the checks of the voice
// record's invariants. Checks return what is wrong, empty when all is well,
// so that a failing step can report the sequence that led to it.
#pragma once

#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "voice/BankSet.h"

namespace stateful {

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
  // Takes the newest snapshot of `bank`.
  KSnapshot Pop(int bank) {
    KSnapshot newest = std::move(banks_[size_t(bank)].back());
    banks_[size_t(bank)].pop_back();
    return newest;
  }
  int Depth(int bank) const { return int(banks_[size_t(bank)].size()); }

 private:
  std::array<std::deque<KSnapshot>, KBankSet::kVoices> banks_;
};

}  // namespace stateful
