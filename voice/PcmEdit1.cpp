// The steps every editing operation shares, and copy and paste through the
// copy buffer (bank 0).
#include "voice/PcmEdit1.h"

#include <algorithm>
#include <utility>

#include "resources/StringTable.h"
#include "voice/EditFrames.h"

std::unique_ptr<KFrameReader> KPcmEdit::OpenReader(const KPcmIO& voice, const KPcmCell& target) {
  auto reader = std::make_unique<KFrameReader>(voice, target);
  if (reader->Usable()) return reader;
  StoreFailed(reader->Store());
  return nullptr;
}

KPcmEdit* KPcmEdit::BankAt(int32_t n) { return n >= 0 && n < bank::kVoices ? &Peer(n) : nullptr; }

bool KPcmEdit::CopyMarked() {
  if (END == 0) return false;
  KPcmEdit& buffer = Peer(bank::kCopyBuffer);
  const int32_t count = MKR - MKL + 1;
  std::unique_ptr<KFrameReader> voice = OpenReader(*this, MakeCell());
  if (!voice) return false;
  voice->SeekFrame(MKL);
  std::unique_ptr<KPcmMMap> store = BuildStore({count, FrameBytes(), "the copy", nullptr, "Copy marked area"},
                                               [&](KFrameWriter& out) { out.Copy(*voice, count); });
  if (!store) return false;
  buffer.TakeStore(std::move(store));
  buffer.Channels = Channels;
  buffer.BitsPerSample = BitsPerSample;
  buffer.SampleRate = SampleRate;
  buffer.MarkWhole(count);
  return true;
}

bool KPcmEdit::PasteByCover() { return Paste(PasteMode::Cover); }
bool KPcmEdit::PasteByInsert() { return Paste(PasteMode::Insert); }
bool KPcmEdit::PasteByMix() { return Paste(PasteMode::Mix); }

// The three modes build voice frames 1..F (insert) or 1..F - 1 (cover, mix),
// then the copy buffer's frames (mix: added to the voice's frames there),
// then what follows of the voice (insert, mix).
bool KPcmEdit::Paste(PasteMode mode) {
  KPcmEdit& buffer = Peer(bank::kCopyBuffer);
  if (buffer.END == 0) {
    ShowMessageText(KLoadMessageText(msg::kWarnCopyFirst));
    return false;
  }
  // An empty voice takes the copy buffer's format and is pasted by cover at 1.
  const bool empty = END == 0;
  if (empty) mode = PasteMode::Cover;
  const int32_t channels = empty ? buffer.Channels : Channels;
  const int32_t bits = empty ? buffer.BitsPerSample : BitsPerSample;
  const int64_t E = END, F = empty ? 1 : FLG, L = buffer.END;
  const int64_t N = mode == PasteMode::Insert ? E + L : mode == PasteMode::Cover ? F + L - 1 : std::max(E, F + L - 1);

  static const char* const kLabels[] = {"Undo : Paste by cover", "Undo : Paste by insert", "Undo : Paste by mix"};
  static const char* const kTitles[] = {"Paste by cover mode", "Paste by insert mode", "Paste by mix mode"};
  const KPcmCell cell(channels, bits / 8);
  std::unique_ptr<KFrameReader> voice = OpenReader(*this, cell);
  std::unique_ptr<KFrameReader> copy = voice ? OpenReader(buffer, cell) : nullptr;
  if (!copy) return false;
  auto fill = [&](KFrameWriter& out) {
    out.Copy(*voice, mode == PasteMode::Insert ? F : F - 1);
    if (mode == PasteMode::Mix) {
      for (int64_t k = 0; k < L; ++k) {
        // Past the voice's END its reader gives silence, which adds nothing.
        KPcmCell sum = voice->Next();
        sum.Add(copy->Next());
        sum.Store();
        out.Put(sum);
      }
    } else {
      out.Copy(*copy, L);
    }
    if (mode != PasteMode::Cover) out.Copy(*voice, N - out.Done());
  };
  return Rebuild({N, cell.FrameBytes, "the paste", kLabels[int(mode)], kTitles[int(mode)]}, fill, [&] {
    Channels = channels;
    BitsPerSample = bits;
    if (empty) SampleRate = buffer.SampleRate;
    END = int32_t(N);
    MKL = int32_t(F);
    MKR = int32_t(F + L - 1);
    FLG = ZiStart = 1;
  });
}
