#include "formats/RawFormat.h"

#include "resources/StringTable.h"

KStatus KRawFormat::Check(const KPlainFile& file, const std::string& path, int32_t channels, int32_t bits,
                          KVoiceLayout& layout) {
  int64_t bytes = file.Size() & ~int64_t(3);
  if (!file.IsOpen() || file.Size() == 0 || bytes > INT32_MAX || !KnownFormat(channels, bits))
    return kKind.NotValid(path);
  layout.Channels = channels;
  layout.BitsPerSample = bits;
  layout.SampleRate = kRate;
  layout.DataBytes = int32_t(bytes);
  return KStatus::Success();
}
