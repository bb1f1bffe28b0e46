// KPcmBank: bank identity, names, the undo store and format translation.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/MappedFaults.h"
#include "store/PcmCell.h"
#include "voice/EditFrames.h"
#include "voice/PcmIO.h"

class KPcmBank : public KPcmIO {
 public:
  static constexpr int kUndoSlots = 4;
  static constexpr size_t kLabelMax = 63;
  static constexpr size_t kAliasMax = 19;

  KPcmBank(KVoiceServices& services, int32_t bankNumber);
  ~KPcmBank() override;

  virtual bool ClearBank();
  // Makes this voice the current one; the layer that knows the bank set does it.
  virtual bool SelectBank() = 0;
  // The voice of bank `index` (0..14) of the same set.
  virtual KPcmBank& Peer(int32_t index) = 0;

  // Duplicate-file check, then the undo snapshots are dropped.
  bool PrepareLoad(const std::string& fileName);
  bool RecordVoice(int32_t channels, int32_t bits, int32_t frames, int32_t rate);
  bool TranslateFormat(int32_t channels, int32_t bits);

  bool SaveUndo(const std::string& label);
  // For the edits: takes a snapshot when the voice has samples. False only
  // when a snapshot was due but could not be made (message shown); the edit
  // must then change nothing.
  bool SnapshotForEdit(const std::string& label);
  // The same for an edit that changes the samples in place: the copy
  // becomes the voice's store and the file the voice had becomes the
  // snapshot, so that a crash in the middle of the edit finds that file as
  // the journal names it.
  bool SnapshotForEditInPlace(const std::string& label);
  bool LoadUndo();
  void EmptyUndo();
  bool UndoLabel(std::string& text) const;
  int UndoDepth() const;

  // One undo slot: the snapshot's store (none when empty), the record's
  // format, length and markers when it was taken, and its label.
  struct UndoSlot {
    std::unique_ptr<KPcmMMap> Store;
    int32_t Channels = 0, BitsPerSample = 0, SampleRate = 0;
    int32_t END = 0, MKR = 0, MKL = 0, FLG = 0, ZiStart = 0;
    std::string Label = "Undo";
  };
  const UndoSlot& UndoAt(int slot) const { return undo_[size_t(slot)]; }
  // The swap files of the samples and the snapshots stay when the voice goes.
  void KeepFiles();
  // Puts a snapshot kept elsewhere (a journal's) into `slot`.
  void RestoreUndo(int slot, UndoSlot snapshot);

  // For edits built outside the voice: the samples replaced by `frames`
  // frames of the voice's format that `fill(KFrameWriter&)` writes (it
  // returns false when the user stopped it), with the size check for
  // `operation`, the undo snapshot `label`, the busy cursor and the progress
  // window `title`; `finish()` then sets the record. False, with the voice
  // as it was and no snapshot kept, when stopped or a step failed.
  template <class Fill, class Finish>
  bool ReplaceSamples(int64_t frames, const char* operation, const char* label, const char* title, Fill&& fill,
                      Finish&& finish) {
    return Rebuild({frames, FrameBytes(), operation, label, title}, fill, finish);
  }

  // Sets the alias, cut to the 19 bytes the MXV header holds, at a
  // character boundary so that no UTF-8 character is cut in two.
  void SetAlias(const std::string& alias);

  const int32_t BankNumber;
  std::string FileName;
  std::string AliasName;
  bool OverviewStale = true;

 protected:
  // Replaces the samples by `store` (built by the caller) and marks the
  // overview stale.
  void TakeStore(std::unique_ptr<KPcmMMap> store);

  // NewStore for a store that the caller writes whole at once (an edit's
  // result, a load), sized without reserving the disk space (see
  // KPcmMMap::SetSize): the writes report a full disk themselves.
  std::unique_ptr<KPcmMMap> NewWrittenStore(int64_t bytes, const char* operation);

  // An edit that builds a new store: its length in frames of `FrameBytes`,
  // the operation a size message names, the undo label (null: no snapshot)
  // and the progress title.
  struct KResultPlan {
    int64_t Frames;
    int32_t FrameBytes;
    const char* Operation;
    const char* Label;
    const char* Title;
  };
  // The size check and the store, then the snapshot (in that order, so that
  // a swap folder without room leaves no snapshot of an edit that never
  // happened); null after the message when one failed.
  std::unique_ptr<KPcmMMap> PrepareResult(const KResultPlan& plan);
  // An edit whose result another voice takes: PrepareResult, then
  // `fill(KFrameWriter&)` writes the store under the busy cursor and the
  // progress bar. Null after the message when a step or a write failed.
  template <class Fill>
  std::unique_ptr<KPcmMMap> BuildStore(const KResultPlan& plan, Fill&& fill) {
    std::unique_ptr<KPcmMMap> store = PrepareResult(plan);
    if (!store) return nullptr;
    KCursorScope cursor(Ui(), KCursorRole::Busy);
    return FillStore(*store, plan, fill) ? std::move(store) : nullptr;
  }
  // The same for this voice: it takes the result, `finish()` sets its record
  // and it is refreshed, all under the busy cursor. False, with the voice
  // unchanged and no snapshot of the edit kept, when a step failed.
  template <class Fill, class Finish>
  bool Rebuild(const KResultPlan& plan, Fill&& fill, Finish&& finish) {
    const bool snapshot = END >= 1 && plan.Label && *plan.Label;
    std::unique_ptr<KPcmMMap> store = PrepareResult(plan);
    if (!store) return false;
    KCursorScope cursor(Ui(), KCursorRole::Busy);
    if (!FillStore(*store, plan, fill)) return Withdraw(snapshot);
    TakeStore(std::move(store));
    Drop(dropped_);
    finish();
    Refresh();
    return true;
  }
  // An edit of the samples in place: the snapshot under `label`, then
  // `body(KProgress&)` under the busy cursor and a bar over `frames`; the
  // overview is then stale and the voice refreshed. False, with nothing
  // changed, when the snapshot could not be made or a swap file was cut
  // short meanwhile (the voice is then put back from the snapshot).
  template <class Body>
  bool EditInPlace(const char* label, const char* title, int64_t frames, Body&& body) {
    const bool snapshot = END >= 1;
    if (!SnapshotForEditInPlace(label)) return false;
    KCursorScope cursor(Ui(), KCursorRole::Busy);
    KProgress progress(Ui(), title, frames);
    platform::KMappedFaultWatch faults;
    body(progress);
    if (faults.Faulted()) return SwapFileCut() || Withdraw(snapshot);
    Drop(dropped_);
    OverviewStale = true;
    Refresh();
    return true;
  }

  // Gives every store of the set that another program cut short its length
  // back and shows the swap-folder message naming it; returns false.
  bool SwapFileCut();
  // An edit that failed after its snapshot: the voice is put back from it
  // (the same bytes, even when its own file was cut meanwhile), the snapshot
  // is dropped and the oldest one it pushed out comes back. Returns false.
  bool Withdraw(bool snapshot);

 private:
  // Writes the store from its first frame with `fill`; false after the
  // swap-folder message when a frame could not be written.
  template <class Fill>
  bool FillStore(KPcmMMap& store, const KResultPlan& plan, Fill& fill) {
    KProgress progress(Ui(), plan.Title, plan.Frames);
    KFrameWriter out(store, progress);
    platform::KMappedFaultWatch faults;
    // A fill that says whether it ran to the end may be stopped: nothing is kept.
    bool whole = true;
    if constexpr (std::is_same_v<decltype(fill(out)), bool>)
      whole = fill(out);
    else
      fill(out);
    if (faults.Faulted()) return SwapFileCut();
    return whole && (out.Ok() || StoreFailed(store));
  }

  // Empties the slot; its store is retired.
  void Drop(UndoSlot& slot) {
    Services.Retired.Retire(std::move(slot.Store));
    slot = UndoSlot{};
  }
  void InitialiseBank();
  void ResetRecord();
  std::array<UndoSlot, kUndoSlots> undo_;
  // The oldest snapshot the newest one pushed out, kept until the edit that
  // took the newest one has succeeded.
  UndoSlot dropped_;
};
