#include "voice/PcmIO.h"

#include <cstdint>

#include "resources/StringTable.h"

KPcmIO::KPcmIO(KVoiceServices& services)
    : Services(services), Storage(std::make_unique<KPcmMMap>(services.SwapFolder)) {}

KPcmIO::~KPcmIO() = default;

bool KPcmIO::ShowPlayPosition(int32_t) { return true; }
bool KPcmIO::ShowRecordProgress(int32_t) { return true; }
bool KPcmIO::ShowNotice(const std::string&) { return true; }
bool KPcmIO::ShowMessageText(const std::string&) { return true; }
bool KPcmIO::ShowMessageId(int) { return true; }
bool KPcmIO::Refresh() { return true; }

bool KPcmIO::OpenWaveDevice(int direction, int32_t channels, int32_t bits, int32_t rate) {
  if ((direction != 0 && direction != 1) || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) ||
      rate < 3999 || rate > 44100)
    return false;
  return Services.Audio.Open(direction == 0 ? KWaveDirection::Input : KWaveDirection::Output, channels, bits, rate);
}

std::unique_ptr<KPcmMMap> KPcmIO::NewStore(int64_t bytes, const char* operation) {
  if (!FitsStore(bytes, operation)) return nullptr;
  auto store = std::make_unique<KPcmMMap>(Services.SwapFolder);
  // A file of length 0 cannot be mapped; empty results keep 16 bytes.
  int32_t size = bytes > 0 ? int32_t(bytes) : 16;
  if (!store->Usable() || !store->Resize(size)) {
    StoreFailed(*store);
    return nullptr;
  }
  return store;
}

bool KPcmIO::StoreFailed(const KPcmMMap& store) {
  const std::string& reason = store.Status().Message;
  ShowMessageText(msg::SwapFolder(Services.SwapFolder, reason.empty() ? "unknown error" : reason));
  return false;
}

bool KPcmIO::FitsStore(int64_t bytes, const char* operation) {
  if (bytes <= INT32_MAX) return true;
  ShowMessageText(msg::TooLong(operation));
  return false;
}

void KPcmIO::MarkWhole(int32_t end) {
  END = end;
  MKR = end;
  MKL = FLG = ZiStart = end > 0 ? 1 : 0;
}
