// Feeds arbitrary bytes to the MXV loader of the voice (see LoaderFuzz.h).
#include "fuzz/LoaderFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzLoaders(data, size, false, KFileType::Mxv);
  return 0;
}
