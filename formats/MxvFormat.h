// KMxvFormat: the 128-byte header of an MXV voice file, checked on loading
// and built on saving, with the key table that scrambles the samples.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/VoiceLayout.h"
#include "platform/PlainFile.h"
#include "platform/Status.h"

class KMxvFormat {
 public:
  static constexpr int kHeaderBytes = 128;
  static constexpr int kKeyCount = 62;
  static constexpr KFileKind kKind{"MXV", "Load MXV file", "Save MXV file"};

  // Success when `file` holds a loadable MXV voice (then `layout`
  // tells where and what), otherwise a failure with the message that
  // refuses it.
  static KStatus Check(const KPlainFile& file, const std::string& path, KVoiceLayout& layout);

  // The header for `dataBytes` sample bytes of `voice`, with a key table
  // drawn from a generator seeded with `seed`; `keys` starts the stream
  // that scrambles the samples.
  static std::vector<uint8_t> Header(const KVoiceFormat& voice, const std::string& alias, int32_t dataBytes,
                                     uint32_t seed, KMxvKeyStream& keys);
};
