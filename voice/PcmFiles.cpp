#include "voice/PcmFiles.h"

#include <ctime>
#include <utility>

#include "formats/MxvFormat.h"
#include "formats/RawFormat.h"
#include "formats/VocFormat.h"
#include "formats/WavFormat.h"
#include "platform/SafeFileWriter.h"
#include "resources/StringTable.h"
#include "voice/BankSet.h"

KPcmFiles::KPcmFiles(KBankSet& set, int32_t bankNumber)
    : KPcmEdit(set.Services(), bankNumber), Set(set), SecondsClock([] { return int64_t(std::time(nullptr)); }) {
  unchanged_ = State();
}

void KPcmFiles::MarkChanged(bool changed) { unchanged_ = changed ? KFileState{} : State(); }

bool KPcmFiles::SelectBank() {
  Set.CurrentBankNumber = BankNumber;
  return true;
}

KPcmFiles& KPcmFiles::Peer(int32_t index) { return Set.Bank(index); }

bool KPcmFiles::ClearBank() {
  KPcmEdit::ClearBank();
  FileType = KFileType::Mxv;
  return true;
}

bool KPcmFiles::LoadVoice(const std::string& path, const KFileKind& kind, KFileType fileType, const Checker& check) {
  if (!PrepareLoad(path)) return false;
  KPlainFile file(path, KPlainFile::Mode::Read);
  KVoiceLayout layout;
  const KStatus checked = check(file, path, layout);
  if (!checked) return Refuse(checked.Message);
  return LoadSamples(path, kind.LoadTitle, fileType, layout, [&](KPlainFile& samples, KProgress& progress) {
    KBlockCopy::Transform unscramble;
    if (layout.Scrambled) unscramble = [&layout](uint8_t* p, size_t n) { layout.Keys.Unscramble(p, n); };
    const KStatus copied = KBlockCopy::Run(file, layout.DataOffset, samples, 0, layout.DataBytes, unscramble, progress);
    if (!copied && copied.Code == KBlockCopy::kReadFailed)
      return KStatus::Failure(msg::NotValidFile(path, kind.Name), KBlockCopy::kReadFailed);
    // A write into the store failed: the reason is the copy's (a full disk).
    if (!copied) return KStatus::Failure(msg::SwapFolder(Services.SwapFolder, copied.Message));
    return copied;
  });
}

bool KPcmFiles::LoadSamples(const std::string& path, const char* title, KFileType fileType, const KVoiceLayout& layout,
                            const SampleFill& fill) {
  KCursorScope cursor(Ui(), KCursorRole::Load);
  KProgress progress(Ui(), title, layout.DataBytes);
  std::unique_ptr<KPcmMMap> store = NewWrittenStore(layout.DataBytes, "the load");
  if (!store) return false;
  KPlainFile samples(store->OpenFilePath(), KPlainFile::Mode::ReadWrite);
  const KStatus filled = fill(samples, progress);
  // Stopped (Escape): the voice stays as it was, without a word.
  if (!filled && filled.Code == KBlockCopy::kStopped) return false;
  if (!filled && filled.Code == KBlockCopy::kReadFailed) return Refuse(filled.Message);
  if (!samples.IsOpen()) return StoreFailed(*store);
  if (!filled) return Refuse(filled.Message);

  TakeStore(std::move(store));
  FileName = path;
  SetAlias(layout.Alias);
  FileType = fileType;
  Channels = layout.Channels;
  BitsPerSample = layout.BitsPerSample;
  SampleRate = layout.SampleRate / 25 * 25;
  MarkWhole(layout.Frames());
  unchanged_ = State();
  Refresh();
  return true;
}

bool KPcmFiles::SaveVoice(const std::string& target, const KFileKind& kind, KFileType fileType,
                          const std::vector<uint8_t>& header, int32_t dataBytes,
                          const KBlockCopy::Transform& transform) {
  // A save-as without a name is a file that cannot be created, never a save
  // over the voice's own file.
  if (target.empty()) return Refuse(msg::CannotCreate(""));
  // Samples another program cut short are not written over the user's file
  // unasked: the message says so, and a second save writes what is left.
  if (!Storage->Intact()) return StoreFailed(*Storage);
  KCursorScope cursor(Ui(), KCursorRole::Save);
  KSafeFileWriter out(target, Services.Temporaries);
  KPlainFile samples(Storage->OpenFilePath(), KPlainFile::Mode::Read);
  bool written = out.IsOpen() && samples.IsOpen() && out.File().WriteAt(0, header.data(), header.size());
  if (written) {
    KProgress progress(Ui(), kind.SaveTitle, dataBytes);
    written = bool(KBlockCopy::Run(samples, 0, out.File(), int64_t(header.size()), dataBytes, transform, progress));
  }
  if (!written || !out.Commit()) return Refuse(msg::CannotCreate(target));

  FileName = target;
  unchanged_ = State();
  EmptyUndo();
  OverviewStale = false;
  Refresh();
  FileType = fileType;
  ReloadCopiesOfFile();
  return true;
}

int32_t KPcmFiles::SaveBytes() const { return int32_t(int64_t(END) * FrameBytes() & ~int64_t(3)); }

bool KPcmFiles::LoadMxvFile(const std::string& path) {
  return LoadVoice(path, KMxvFormat::kKind, KFileType::Mxv, &KMxvFormat::Check);
}

bool KPcmFiles::SaveMxvFile(const std::string& path) {
  const int32_t bytes = SaveBytes();
  KMxvKeyStream keys;
  std::vector<uint8_t> header = KMxvFormat::Header(Format(), AliasName, bytes, uint32_t(SecondsClock()), keys);
  return SaveVoice(path, KMxvFormat::kKind, KFileType::Mxv, header, bytes,
                   [&keys](uint8_t* p, size_t n) { keys.Scramble(p, n); });
}

bool KPcmFiles::ReloadMxvFile() { return FileType == KFileType::Mxv && LoadMxvFile(std::string(FileName)); }

bool KPcmFiles::LoadWavFile(const std::string& path) {
  return LoadVoice(path, KWavFormat::kKind, KFileType::Wav, &KWavFormat::Check);
}

bool KPcmFiles::SaveWavFile(const std::string& path) {
  const int32_t bytes = SaveBytes();
  return SaveVoice(path, KWavFormat::kKind, KFileType::Wav, KWavFormat::Header(Format(), bytes), bytes, {});
}

bool KPcmFiles::ReloadWavFile() { return FileType == KFileType::Wav && LoadWavFile(std::string(FileName)); }

bool KPcmFiles::LoadVocFile(const std::string& path) {
  return LoadVoice(path, KVocFormat::kKind, KFileType::Voc, &KVocFormat::Check);
}

bool KPcmFiles::SaveVocFile(const std::string& path) {
  const int32_t bytes = SaveBytes();
  const std::string& target = path;
  // A longer voice does not fit the 24-bit block length: refused rather
  // than written as a file that announces the wrong length.
  if (bytes > KVocFormat::kMaxDataBytes) return Refuse(msg::VocTooLong(target));
  return SaveVoice(target, KVocFormat::kKind, KFileType::Voc, KVocFormat::Header(Format(), bytes), bytes, {});
}

bool KPcmFiles::ReloadVocFile() { return FileType == KFileType::Voc && LoadVocFile(std::string(FileName)); }

bool KPcmFiles::LoadRawPcmFile(const std::string& path, int32_t channels, int32_t bits) {
  return LoadVoice(path, KRawFormat::kKind, RawFileType(channels, bits),
                   [channels, bits](const KPlainFile& file, const std::string& name, KVoiceLayout& layout) {
                     return KRawFormat::Check(file, name, channels, bits, layout);
                   });
}

bool KPcmFiles::SaveRawPcmFile(const std::string& path) {
  return SaveVoice(path, KRawFormat::kKind, RawFileType(Channels, BitsPerSample), {}, SaveBytes(), {});
}

bool KPcmFiles::SaveToOwnFile() {
  const KFileFormat* format = FindFileFormat(FileType);
  return format && format->Save(*this, FileName);
}

bool KPcmFiles::ReloadFromOwnFile() {
  const KFileFormat* format = FindFileFormat(FileType);
  // The load renames the voice, so it is given a copy of the name.
  return format && format->Load(*this, std::string(FileName));
}

bool KPcmFiles::ReloadCopiesOfFile() {
  if (BankNumber < bank::kFirst || BankNumber > bank::kLast) return false;
  bool reloaded = false;
  for (int k : {13, 14}) {
    KPcmFiles& copy = Peer(k);
    if (copy.FileName != FileName) continue;
    copy.ReloadFromOwnFile();
    reloaded = true;
  }
  return reloaded;
}

std::string KPcmFiles::MakeSaveFileName(const std::string& extension) const {
  if (extension.empty()) return FileName;
  size_t slash = FileName.rfind('/');
  size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = FileName.rfind('.');
  size_t stemEnd = dot == std::string::npos || dot < nameStart ? FileName.size() : dot;
  return FileName.substr(0, stemEnd) + extension;
}
