// KRawFormat: headerless sample files. The loader names the format; the
// rate is always 8000 Hz. The voice remembers which of the four formats it
// came from as its file type.
#pragma once

#include <cstdint>
#include <string>

#include "voice/PlainFile.h"
#include "voice/VoiceLayout.h"

class KRawFormat {
 public:
  static constexpr int32_t kRate = 8000;
  static const KFileKind kKind;

  // An empty text when `file` can be loaded as raw samples of the given
  // format (then `layout` tells what), otherwise the message that refuses it.
  static std::string Check(const KPlainFile& file, const std::string& path, int32_t channels, int32_t bits,
                           KVoiceLayout& layout);

  // File type 1..4 of a format: mono 8, mono 16, stereo 8, anything else 4.
  static int32_t FileType(int32_t channels, int32_t bits);
  // The format of file type 1..4.
  static int32_t Channels(int32_t fileType) { return fileType >= 3 ? 2 : 1; }
  static int32_t Bits(int32_t fileType) { return fileType % 2 == 0 ? 16 : 8; }
};
