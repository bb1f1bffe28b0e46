// KWavFormat: RIFF WAVE files with PCM data: the canonical 44-byte header on
// saving; on loading a "fmt " chunk first and the "data" chunk next or after
// one other chunk, the sample width taken from the block alignment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/VoiceLayout.h"
#include "platform/PlainFile.h"
#include "platform/Status.h"

class KWavFormat {
 public:
  static constexpr int kHeaderBytes = 44;
  static constexpr KFileKind kKind{"WAV", "Load WAV file", "Save WAV file"};

  // Success when `file` holds a loadable WAV voice (then `layout`
  // tells where and what), otherwise a failure with the message that
  // refuses it.
  static KStatus Check(const KPlainFile& file, const std::string& path, KVoiceLayout& layout);

  // The header for `dataBytes` sample bytes of `voice`.
  static std::vector<uint8_t> Header(const KVoiceFormat& voice, int32_t dataBytes);
};
