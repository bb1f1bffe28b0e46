// KRawFormat: headerless sample files. The loader names the format; the
// rate is always 8000 Hz.
#pragma once

#include <cstdint>
#include <string>

#include "formats/VoiceLayout.h"
#include "platform/PlainFile.h"
#include "platform/Status.h"

class KRawFormat {
 public:
  static constexpr int32_t kRate = 8000;
  static constexpr KFileKind kKind{"PCM", "Load RAW PCM file", "Save RAW PCM file"};

  // Success when `file` can be loaded as raw samples of the given
  // format (then `layout` tells what), otherwise a failure with the message that
  // refuses it.
  static KStatus Check(const KPlainFile& file, const std::string& path, int32_t channels, int32_t bits,
                       KVoiceLayout& layout);
};
