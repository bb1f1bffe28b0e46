// KVocFormat: VOC voice files. Loading takes the first block, of type 1
// (8-bit mono with a time constant) or type 9 (rate, width and channels);
// saving writes one type 9 block and no terminator.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/VoiceLayout.h"
#include "platform/PlainFile.h"
#include "platform/Status.h"

class KVocFormat {
 public:
  static constexpr int kHeaderBytes = 26 + 4 + 12;
  // The 24-bit block length counts the 12-byte body header as well.
  static constexpr int32_t kMaxDataBytes = 0xFFFFFF - 12;
  static constexpr KFileKind kKind{"VOC", "Load VOC file", "Save VOC file"};

  // Success when `file` holds a loadable VOC voice (then `layout`
  // tells where and what), otherwise a failure with the message that
  // refuses it.
  static KStatus Check(const KPlainFile& file, const std::string& path, KVoiceLayout& layout);

  // File header, block header and body header for `dataBytes` sample
  // bytes of `voice` (at most kMaxDataBytes).
  static std::vector<uint8_t> Header(const KVoiceFormat& voice, int32_t dataBytes);
};
