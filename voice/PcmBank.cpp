#include "voice/PcmBank.h"

#include <algorithm>
#include <utility>

#include "platform/SystemDir.h"
#include "resources/StringTable.h"

KPcmBank::KPcmBank(KVoiceServices& services, int32_t bankNumber) : KPcmIO(services), BankNumber(bankNumber) {
  ResetRecord();
  InitialiseBank();
}

KPcmBank::~KPcmBank() { EmptyUndo(); }

void KPcmBank::ResetRecord() {
  // An empty voice's 16 bytes are never written: no disk space is reserved.
  Storage->SetSize(16);
  Channels = 1;
  BitsPerSample = 8;
  SampleRate = 16000;
  END = MKR = MKL = FLG = ZiStart = 0;
}

void KPcmBank::InitialiseBank() {
  FileName = platform::DefaultVoiceFileName(BankNumber);
  AliasName = "Alias Name";
  OverviewStale = true;
  EmptyUndo();
}

void KPcmBank::KeepFiles() {
  Storage->KeepFile();
  for (UndoSlot& slot : undo_)
    if (slot.Store) slot.Store->KeepFile();
}

bool KPcmBank::ClearBank() {
  // A fresh file rather than the old one cut to 16 bytes: a journal may
  // still name the old one with its samples.
  auto fresh = std::make_unique<KPcmMMap>(Services.SwapFolder);
  if (fresh->Usable()) ReplaceStorage(std::move(fresh));
  ResetRecord();
  InitialiseBank();
  Refresh();
  return true;
}

bool KPcmBank::PrepareLoad(const std::string& fileName) {
  int first = 0, last = -1;
  if (BankNumber >= bank::kFirst && BankNumber <= bank::kLast) {
    first = bank::kFirst;
    last = bank::kLast;
  } else if (BankNumber == 13 || BankNumber == 14) {
    first = last = BankNumber == 13 ? 14 : 13;
  }
  for (int k = first; k <= last; ++k) {
    if (k == BankNumber || Peer(k).FileName != fileName) continue;
    ShowMessageText(msg::AlreadyInBank(fileName, k));
    return false;
  }
  EmptyUndo();
  return true;
}

bool KPcmBank::TranslateFormat(int32_t channels, int32_t bits) {
  if (channels == Channels && bits == BitsPerSample) return false;
  if (END == 0) {
    Channels = channels;
    BitsPerSample = bits;
    OverviewStale = true;
    Refresh();
    return false;
  }
  KPcmCell source = MakeCell();
  KPcmCell target(channels, bits / 8);
  const KResultPlan plan{END, target.FrameBytes, "the format translation", nullptr, "Translate voice format"};
  auto frame = [&](KFrameWriter& out) {
    Storage->ReadNext(source);
    target.ConvertFrom(source);
    out.Put(target);
  };
  // Runs of up to half a block of samples go through KSampleRun at once.
  auto run = [&](KFrameWriter& out, const uint8_t* raw, int64_t frames) {
    double in[KSampleRun::kBlock], converted[KSampleRun::kBlock];
    uint8_t* to = out.Room(target.FrameBytes, frames);
    KSampleRun::Decode(raw, source.BytesPerSample, int32_t(frames) * source.Channels, in);
    KSampleRun::Convert(in, source.Channels, source.BytesPerSample, converted, target.Channels, target.BytesPerSample,
                        int32_t(frames));
    KSampleRun::Encode(converted, target.BytesPerSample, int32_t(frames) * target.Channels, to);
    out.Commit(target.FrameBytes, frames);
    return frames;
  };
  auto convert = [&](KFrameWriter& out) {
    Storage->Seek(0);
    if (!source.ValidFormat() || !target.ValidFormat()) {
      for (int32_t p = 1; p <= END; ++p) frame(out);
      return;
    }
    WalkRuns(
        *Storage, source.FrameBytes, END, KSampleRun::kBlock / 2,
        [&](const uint8_t* raw, int64_t frames) { return run(out, raw, frames); }, [&] { frame(out); });
  };
  return Rebuild(plan, convert, [&] {
    Channels = channels;
    BitsPerSample = bits;
  });
}

std::unique_ptr<KPcmMMap> KPcmBank::NewWrittenStore(int64_t bytes, const char* operation) {
  if (!FitsStore(bytes, operation)) return nullptr;
  auto store = std::make_unique<KPcmMMap>(Services.SwapFolder);
  if (store->Usable() && store->SetSize(bytes > 0 ? int32_t(bytes) : 16)) return store;
  StoreFailed(*store);
  return nullptr;
}

std::unique_ptr<KPcmMMap> KPcmBank::PrepareResult(const KResultPlan& plan) {
  std::unique_ptr<KPcmMMap> store = NewWrittenStore(plan.Frames * plan.FrameBytes, plan.Operation);
  if (!store || (plan.Label && *plan.Label && !SnapshotForEdit(plan.Label))) return nullptr;
  return store;
}

void KPcmBank::TakeStore(std::unique_ptr<KPcmMMap> store) {
  ReplaceStorage(std::move(store));
  OverviewStale = true;
}

void KPcmBank::SetAlias(const std::string& alias) {
  size_t length = std::min(alias.size(), kAliasMax);
  // Back off over continuation bytes (10xxxxxx) so the cut falls before a character.
  if (length < alias.size())
    while (length > 0 && (static_cast<unsigned char>(alias[length]) & 0xC0) == 0x80) --length;
  AliasName = alias.substr(0, length);
}

bool KPcmBank::SwapFileCut() {
  std::string reason = "a swap file was cut short by another program";
  for (int k = 0; k < bank::kVoices; ++k) {
    KPcmBank& voice = Peer(k);
    if (!voice.Storage->Intact()) reason = voice.Storage->Status().Message;
    for (UndoSlot& slot : voice.undo_)
      if (slot.Store && !slot.Store->Intact()) reason = slot.Store->Status().Message;
  }
  ShowMessageText(msg::SwapFolder(Services.SwapFolder, reason));
  return false;
}

bool KPcmBank::Withdraw(bool snapshot) {
  if (snapshot && LoadUndo() && dropped_.Store) undo_[0] = std::move(dropped_);
  Drop(dropped_);
  return false;
}

bool KPcmBank::SaveUndo(const std::string& label) {
  if (END < 1) return false;
  // A voice whose file was cut short gets its length back and is not copied
  // unasked: the message says so.
  if (!Storage->Intact()) return StoreFailed(*Storage);
  KProgress progress(Ui(), "Save Undo", 1);
  KCursorScope cursor(Ui(), KCursorRole::Busy);
  // The copy is made before any slot moves, so a failed snapshot leaves the
  // undo store as it was.
  auto store = std::make_unique<KPcmMMap>(Services.SwapFolder);
  if (!store->Usable() || !store->CopyFrom(*Storage, &progress)) return StoreFailed(*store);
  if (undo_[3].Store) {
    Drop(dropped_);
    dropped_ = std::move(undo_[0]);
    for (int k = 0; k < 3; ++k) undo_[k] = std::move(undo_[k + 1]);
  }
  UndoSlot& slot = undo_[3];
  slot.Store = std::move(store);
  slot.Channels = Channels;
  slot.BitsPerSample = BitsPerSample;
  slot.SampleRate = SampleRate;
  slot.END = END;
  slot.MKR = MKR;
  slot.MKL = MKL;
  slot.FLG = FLG;
  slot.ZiStart = ZiStart;
  slot.Label = label.substr(0, kLabelMax);
  return true;
}

bool KPcmBank::SnapshotForEdit(const std::string& label) { return END < 1 || SaveUndo(label); }

bool KPcmBank::SnapshotForEditInPlace(const std::string& label) {
  if (END < 1) return true;
  if (!SaveUndo(label)) return false;
  std::swap(Storage, undo_[3].Store);
  return true;
}

bool KPcmBank::LoadUndo() {
  if (!undo_[3].Store) return false;
  KCursorScope cursor(Ui(), KCursorRole::Busy);
  KProgress progress(Ui(), "Load Undo", 1);
  // The snapshot's store becomes the voice's store: the same bytes as a
  // copy would give, and nothing that can fail half-way.
  UndoSlot& slot = undo_[3];
  ReplaceStorage(std::move(slot.Store));
  Channels = slot.Channels;
  BitsPerSample = slot.BitsPerSample;
  SampleRate = slot.SampleRate;
  END = slot.END;
  MKR = slot.MKR;
  MKL = slot.MKL;
  FLG = slot.FLG;
  ZiStart = slot.ZiStart;
  for (int k = 3; k > 0; --k) undo_[k] = std::move(undo_[k - 1]);
  undo_[0] = UndoSlot{};
  OverviewStale = true;
  Refresh();
  return true;
}

void KPcmBank::EmptyUndo() {
  for (UndoSlot& slot : undo_) Drop(slot);
  Drop(dropped_);
}

void KPcmBank::RestoreUndo(int slot, UndoSlot snapshot) {
  Drop(undo_[size_t(slot)]);
  undo_[size_t(slot)] = std::move(snapshot);
}

bool KPcmBank::UndoLabel(std::string& text) const {
  if (!undo_[3].Store) {
    text = "Undo";
    return false;
  }
  text = undo_[3].Label;
  return true;
}

int KPcmBank::UndoDepth() const {
  int depth = 0;
  for (const UndoSlot& slot : undo_) depth += slot.Store ? 1 : 0;
  return depth;
}
