#include "formats/MxvFormat.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "platform/LittleEndian.h"
#include "resources/StringTable.h"

namespace {

constexpr char kMagic[] = "Melotrix Format";  // with its NUL: 16 bytes
constexpr char kTag[] = "MXV";                // with its NUL: 4 bytes
constexpr int kKeyIndexA = 0x18, kKeyIndexB = 0x19, kKeyTable = 0x1A;
constexpr int kChannels = 0x58, kBits = 0x5C, kRate = 0x60, kOffset = 0x64, kLength = 0x68;
constexpr int kAlias = 0x6C, kAliasBytes = 20;

}  // namespace

KStatus KMxvFormat::Check(const KPlainFile& file, const std::string& path, KVoiceLayout& layout) {
  uint8_t h[kHeaderBytes];
  const KStatus invalid = kKind.NotValid(path);
  if (!ReadHead(file, h)) return invalid;
  uint32_t rate = GetLe(h + kRate, 4), length = GetLe(h + kLength, 4);
  uint32_t channels = GetLe(h + kChannels, 2), bits = GetLe(h + kBits, 2);
  if (!SameBytes(h, kMagic, sizeof kMagic) || !SameBytes(h + 0x10, kTag, sizeof kTag) || rate < 2100 || rate > 44100 ||
      !KnownFormat(channels, bits) || h[kKeyIndexA] >= kKeyCount || h[kKeyIndexB] >= kKeyCount || length > INT32_MAX)
    return invalid;
  layout.Channels = int32_t(channels);
  layout.BitsPerSample = int32_t(bits);
  layout.SampleRate = int32_t(rate);
  layout.DataOffset = GetLe(h + kOffset, 4);
  layout.DataBytes = int32_t(length & ~3u);
  if (!layout.DataWithin(file.Size())) return invalid;
  const char* alias = reinterpret_cast<const char*>(h + kAlias);
  layout.Alias.assign(alias, strnlen(alias, kAliasBytes));
  layout.Scrambled = true;
  layout.Keys = KMxvKeyStream(h[kKeyTable + h[kKeyIndexA]], h[kKeyTable + h[kKeyIndexB]]);
  return KStatus::Success();
}

std::vector<uint8_t> KMxvFormat::Header(const KVoiceFormat& voice, const std::string& alias, int32_t dataBytes,
                                        uint32_t seed, KMxvKeyStream& keys) {
  std::vector<uint8_t> h(kHeaderBytes, 0);
  std::copy(kMagic, kMagic + sizeof kMagic, h.begin());
  std::copy(kTag, kTag + sizeof kTag, h.begin() + 0x10);
  PutLe(&h[0x14], 0x00020001, 4);
  std::minstd_rand draw(seed);
  for (int i = 0; i < kKeyCount; ++i) {
    h[size_t(kKeyTable + i)] = uint8_t(draw());
    h[kKeyIndexA] = uint8_t(draw() % kKeyCount);
    h[kKeyIndexB] = uint8_t(draw() % kKeyCount);
  }
  PutLe(&h[kChannels], uint32_t(voice.Channels), 2);
  PutLe(&h[kBits], uint32_t(voice.BitsPerSample), 2);
  PutLe(&h[kRate], uint32_t(voice.SampleRate), 4);
  PutLe(&h[kOffset], kHeaderBytes, 4);
  PutLe(&h[kLength], uint32_t(dataBytes), 4);
  std::copy_n(alias.begin(), std::min<size_t>(alias.size(), kAliasBytes - 1), h.begin() + kAlias);
  keys = KMxvKeyStream(h[size_t(kKeyTable + h[kKeyIndexA])], h[size_t(kKeyTable + h[kKeyIndexB])]);
  return h;
}
