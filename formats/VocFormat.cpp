#include "formats/VocFormat.h"

#include <algorithm>

#include "platform/LittleEndian.h"
#include "resources/StringTable.h"

namespace {

constexpr int kFileHeader = 26;
constexpr int kBlockHeader = 4;
constexpr int kType1Body = 2;
constexpr int kType9Body = 12;
constexpr char kIdentification[] = "Creative Voice File";

// Fills `layout` from the body of a type 1 or type 9 block at `body`;
// false when the block is too short for its body header or holds no
// voice format.
bool ReadBody(const KPlainFile& file, int type, int64_t body, uint32_t length, KVoiceLayout& layout, uint8_t& packing) {
  uint8_t b[kType9Body];
  int bodyBytes = type == 1 ? kType1Body : kType9Body;
  if (length < uint32_t(bodyBytes) || !file.ReadAt(body, b, size_t(bodyBytes))) return false;
  layout.DataOffset = body + bodyBytes;
  layout.DataBytes = int32_t(length) - bodyBytes;
  if (type == 1) {
    packing = b[1];
    layout.Channels = 1;
    layout.BitsPerSample = 8;
    layout.SampleRate = 1000000 / (256 - b[0]);
    return true;
  }
  uint32_t rate = GetLe(b, 4);
  layout.BitsPerSample = b[4];
  layout.Channels = b[5];
  layout.SampleRate = int32_t(rate);
  return rate <= INT32_MAX && KnownFormat(layout.Channels, layout.BitsPerSample);
}

}  // namespace

KStatus KVocFormat::Check(const KPlainFile& file, const std::string& path, KVoiceLayout& layout) {
  uint8_t h[kFileHeader];
  const KStatus invalid = kKind.NotValid(path);
  if (!ReadHead(file, h)) return invalid;
  uint32_t version = GetLe(h + 22, 2), check = GetLe(h + 24, 2);
  bool knownVersion = (version == 0x010A && check == 0x1129) || (version == 0x0114 && check == 0x111F);
  if (h[19] != 0x1A || !knownVersion) return invalid;

  int64_t first = int16_t(GetLe(h + 20, 2));
  uint8_t block[kBlockHeader];
  if (first < 0 || !file.ReadAt(first, block, kBlockHeader)) return invalid;
  int type = block[0];
  if (type != 1 && type != 9) return KStatus::Failure(msg::VocBlockType(path, type));
  uint8_t packing = 0;
  if (!ReadBody(file, type, first + kBlockHeader, GetLe(block + 1, 3), layout, packing)) return invalid;
  if (packing != 0) return KStatus::Failure(msg::VocPacking(path, int(packing)));
  return layout.DataWithin(file.Size()) ? KStatus::Success() : invalid;
}

std::vector<uint8_t> KVocFormat::Header(const KVoiceFormat& voice, int32_t dataBytes) {
  std::vector<uint8_t> h(kHeaderBytes, 0);
  std::copy_n(kIdentification, 19, h.begin());
  h[19] = 0x1A;
  PutLe(&h[20], kFileHeader, 2);
  PutLe(&h[22], 0x0114, 2);
  PutLe(&h[24], 0x111F, 2);
  h[26] = 9;
  PutLe(&h[27], uint32_t(dataBytes) + kType9Body, 3);
  uint8_t* body = &h[kFileHeader + kBlockHeader];
  PutLe(body, uint32_t(voice.SampleRate), 4);
  body[4] = uint8_t(voice.BitsPerSample);
  body[5] = uint8_t(voice.Channels);
  PutLe(body + 6, voice.BitsPerSample == 16 ? 4 : 0, 2);
  return h;
}
