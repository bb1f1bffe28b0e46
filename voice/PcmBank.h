// KPcmBank: bank identity, names, the undo store and format translation.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "store/PcmCell.h"
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
  bool LoadUndo();
  void EmptyUndo();
  bool UndoLabel(std::string& text) const;
  int UndoDepth() const;

  // Sets the alias, cut to 19 characters.
  void SetAlias(const std::string& alias) { AliasName = alias.substr(0, kAliasMax); }

  const int32_t BankNumber;
  std::string FileName;
  std::string AliasName;
  bool OverviewStale = true;

 protected:
  // Replaces the samples by `store` (built by the caller) and marks the
  // overview stale.
  void TakeStore(std::unique_ptr<KPcmMMap> store);

 private:
  struct UndoSlot {
    std::unique_ptr<KPcmMMap> Store;
    int32_t Channels = 0, BitsPerSample = 0, SampleRate = 0;
    int32_t END = 0, MKR = 0, MKL = 0, FLG = 0, ZiStart = 0;
    std::string Label = "Undo";
  };
  void InitialiseBank();
  void ResetRecord();
  std::array<UndoSlot, kUndoSlots> undo_;
};
