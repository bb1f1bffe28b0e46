// The mixer of up to four banks, and the split and merge of stereo channels.
// Every source is read through a reader of its own, so a bank may be chosen
// twice and the current voice may be a source or a destination: results are
// built whole before any voice is replaced.
#include <algorithm>
#include <utility>
#include <vector>

#include "resources/StringTable.h"
#include "voice/EditFrames.h"
#include "voice/PcmEdit1.h"

namespace {

// The mix of `frames` frames (all lying in each reader's run) into `to`: a
// silent cell of the result's format, then each source's cell (converted to
// that format as ConvertFrom converts and keeps it) added; stored. A source
// past its END adds silence, which leaves the sum as it is.
void AddRuns(std::vector<std::unique_ptr<KFrameReader>>& readers, const KPcmCell& result, int32_t frames, uint8_t* to) {
  double sum[KSampleRun::kBlock], values[KSampleRun::kBlock], converted[KSampleRun::kBlock];
  const int32_t samples = frames * result.Channels;
  std::fill_n(sum, samples, 0.0);
  for (auto& reader : readers) {
    const KPcmCell& own = reader->Own();
    int64_t n = frames;
    if (const uint8_t* raw = reader->Run(n)) {
      KSampleRun::Decode(raw, own.BytesPerSample, frames * own.Channels, values);
      const double* add = values;
      if (reader->Converts()) {
        KSampleRun::Convert(values, own.Channels, own.BytesPerSample, converted, result.Channels, result.BytesPerSample,
                            frames);
        KSampleRun::Clip(converted, result.BytesPerSample, samples);
        add = converted;
      }
      KSampleRun::AddScaled(sum, add, samples, 1.0);  // times 1 is the value itself
    }
    reader->Skip(frames);
  }
  KSampleRun::Encode(sum, result.BytesPerSample, samples, to);
}

}  // namespace

bool KPcmEdit::MixBanks(const std::array<int32_t, 4>& sources) {
  // Empty banks count for nothing: not the length, the format or the rate.
  std::vector<KPcmEdit*> used;
  for (int32_t s : sources) {
    KPcmEdit* bank = s >= 1 ? BankAt(s) : nullptr;
    if (bank && bank->END > 0) used.push_back(bank);
  }
  if (used.empty()) return true;
  int32_t len = 0, channels = 1, bits = 8, rate = 2100;
  for (const KPcmEdit* bank : used) {
    len = std::max(len, bank->END);
    channels = std::max(channels, bank->Channels);
    bits = std::max(bits, bank->BitsPerSample);
    rate = std::max(rate, bank->SampleRate);
  }
  // Sources of another format are converted to the result's first.
  const KPcmCell silence(channels, bits / 8);
  std::vector<std::unique_ptr<KFrameReader>> readers;
  for (const KPcmEdit* bank : used) {
    readers.push_back(OpenReader(*bank, silence));
    if (!readers.back()) return false;
  }
  const bool runs = silence.ValidFormat() && std::all_of(readers.begin(), readers.end(), [](const auto& reader) {
                      return reader->Own().ValidFormat();
                    });
  auto fill = [&](KFrameWriter& out) {
    if (!runs) {
      for (int32_t j = 0; j < len; ++j) {
        KPcmCell sum = silence;
        for (auto& reader : readers) sum.Add(reader->Next());
        sum.Store();
        out.Put(sum);
      }
      return;
    }
    for (int64_t j = 0; j < len;) {
      int64_t frames = std::min<int64_t>(len - j, KSampleRun::kBlock / 2);
      uint8_t* to = out.Room(silence.FrameBytes, frames);
      for (auto& reader : readers) reader->Run(frames);
      AddRuns(readers, silence, int32_t(frames), to);
      out.Commit(silence.FrameBytes, frames);
      j += frames;
    }
  };
  return Rebuild({len, silence.FrameBytes, "the mix", nullptr, "Mix"}, fill,
                 [&] { SetResultFormat(channels, bits, rate, len); });
}

bool KPcmEdit::SplitChannels(int32_t bank1, int32_t bank2) {
  if (Channels != 2) return false;
  KPcmEdit* dest1 = BankAt(bank1);
  KPcmEdit* dest2 = BankAt(bank2);
  if (!dest1 || !dest2) return false;
  if (dest1 == dest2) {
    ShowMessageId(msg::kSplitSameBank);
    return false;
  }
  const KPcmCell mono(1, BitsPerSample / 8);
  std::unique_ptr<KFrameReader> voice = OpenReader(*this, MakeCell());
  const KResultPlan plan{END, mono.FrameBytes, "the split", nullptr, "Split channel"};
  std::unique_ptr<KPcmMMap> store1 = voice ? PrepareResult(plan) : nullptr;
  std::unique_ptr<KPcmMMap> store2 = store1 ? PrepareResult(plan) : nullptr;
  if (!store2) return false;
  KCursorScope cursor(Ui(), KCursorRole::Busy);
  KProgress progress(Ui(), plan.Title, END);
  // The bar follows the first destination; the second one shows nothing.
  KUiHooks hidden;
  KProgress quiet(hidden, "", END);
  KFrameWriter out1(*store1, progress), out2(*store2, quiet);
  KPcmCell left = mono, right = mono;
  platform::KMappedFaultWatch faults;
  for (int32_t j = 0; j < END; ++j) {
    const KPcmCell& frame = voice->Next();
    left.Value1 = frame.Value1;
    right.Value1 = frame.Value2;
    left.Store();
    right.Store();
    out1.Put(left);
    out2.Put(right);
  }
  voice.reset();
  if (faults.Faulted()) return SwapFileCut();
  if (!out1.Ok() || !out2.Ok()) return StoreFailed(out1.Ok() ? *store2 : *store1);
  const int32_t end = END, bits = BitsPerSample, rate = SampleRate;
  std::unique_ptr<KPcmMMap>* stores[] = {&store1, &store2};
  KPcmEdit* dests[] = {dest1, dest2};
  for (int k = 0; k < 2; ++k) {
    KPcmEdit& dest = *dests[k];
    dest.TakeStore(std::move(*stores[k]));
    dest.SetResultFormat(1, bits, rate, end);
    dest.EmptyUndo();
    if (&dest == this) Refresh();
  }
  return true;
}

bool KPcmEdit::MergeChannels(int32_t bank1, int32_t bank2) {
  if (bank1 == 0 && bank2 == 0) return false;
  KPcmEdit* s1 = BankAt(bank1);
  KPcmEdit* s2 = BankAt(bank2);
  if (!s1 || !s2) return false;
  if (s1->Channels == 2 || s2->Channels == 2) {
    ShowMessageId(msg::kMergeStereoSource);
    return false;
  }
  if (s1->BitsPerSample != s2->BitsPerSample) {
    ShowMessageId(msg::kMergeWidths);
    return false;
  }
  const int32_t len = std::max(s1->END, s2->END);
  if (len == 0) return true;
  const int32_t bits = s1->BitsPerSample, rate = s1->SampleRate;
  const KPcmCell mono(1, bits / 8);
  KPcmCell stereo(2, bits / 8);
  std::unique_ptr<KFrameReader> read1 = OpenReader(*s1, mono);
  std::unique_ptr<KFrameReader> read2 = read1 ? OpenReader(*s2, mono) : nullptr;
  if (!read2) return false;
  auto fill = [&](KFrameWriter& out) {
    for (int32_t j = 0; j < len; ++j) {
      stereo.Value1 = read1->Next().Value1;
      stereo.Value2 = read2->Next().Value1;
      stereo.Store();
      out.Put(stereo);
    }
  };
  return Rebuild({len, stereo.FrameBytes, "the merge", nullptr, "Merge channel"}, fill, [&] {
    SetResultFormat(2, bits, rate, len);
    EmptyUndo();
  });
}
