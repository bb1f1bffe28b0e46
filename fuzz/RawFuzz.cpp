// Feeds arbitrary bytes to the four raw PCM loaders of the voice (see
// LoaderFuzz.h).
#include "fuzz/LoaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzLoaders(data, size, true, KFileType::RawMono8);
  return 0;
}
