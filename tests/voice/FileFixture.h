// What the voice-file tests share: files in the test's folder, byte patterns,
// and the state a refused load or save must leave alone.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "resources/StringTable.h"
#include "support/VoiceFixture.h"
#include "voice/LittleEndian.h"

// Bytes that differ from their neighbours and from any other seed's.
inline std::vector<uint8_t> Pattern(size_t n, uint32_t seed = 1) {
  std::vector<uint8_t> bytes(n);
  uint32_t x = seed * 2654435761u + 12345;
  for (uint8_t& b : bytes) {
    x = x * 1103515245u + 12345;
    b = uint8_t(x >> 16);
  }
  return bytes;
}

class FileFixture : public VoiceFixture {
 protected:
  std::string PathOf(const std::string& name) const { return dir_ / name; }

  static void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  static std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Overwrites `bytes` bytes (1..4) at `offset` of a file with `value`.
  static void Patch(const std::string& path, size_t offset, uint32_t value, int bytes) {
    std::vector<uint8_t> file = ReadBytes(path);
    ASSERT_LE(offset + size_t(bytes), file.size());
    PutLe(&file[offset], value, bytes);
    WriteBytes(path, file);
  }
  // A voice of `frames` patterned frames at `rate` with a few names set.
  static void GiveVoice(KPcmFiles& v, int32_t channels, int32_t bits, int32_t frames, int32_t rate = 22050) {
    Fill(v, channels, bits, Pattern(size_t(frames) * size_t(channels * bits / 8), uint32_t(frames)));
    v.SampleRate = rate;
    v.SetAlias("voice alias");
  }

  // Everything a refused load or a failed save must keep.
  using State = std::tuple<std::vector<uint8_t>, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                           int32_t, int32_t, std::string, std::string, int32_t>;
  static State StateOf(KPcmFiles& v) {
    return {Bytes(v), v.Channels, v.BitsPerSample, v.SampleRate, v.END,       v.MKL,
            v.MKR,    v.FLG,      v.ZiStart,       v.FileName,   v.AliasName, v.FileType};
  }

  // A loaded voice is marked whole: MKR at END, MKL, FLG and ZiStart at 1.
  static void ExpectMarkedWhole(const KPcmFiles& v, int32_t end) {
    EXPECT_EQ(v.END, end);
    EXPECT_EQ(v.MKR, end);
    EXPECT_EQ(v.MKL, end > 0 ? 1 : 0);
    EXPECT_EQ(v.FLG, end > 0 ? 1 : 0);
    EXPECT_EQ(v.ZiStart, end > 0 ? 1 : 0);
  }

  enum class Kind { Mxv, Wav, Voc, Raw };
  static bool SaveAs(KPcmFiles& v, Kind kind, const std::string& path) {
    using Save = bool (KPcmFiles::*)(const std::string&);
    constexpr Save kSave[] = {&KPcmFiles::SaveMxvFile, &KPcmFiles::SaveWavFile, &KPcmFiles::SaveVocFile,
                              &KPcmFiles::SaveRawPcmFile};
    return (v.*kSave[int(kind)])(path);
  }
  // Raw files are loaded in the format given.
  static bool LoadAs(KPcmFiles& v, Kind kind, const std::string& path, int32_t channels, int32_t bits) {
    using Load = bool (KPcmFiles::*)(const std::string&);
    constexpr Load kLoad[] = {&KPcmFiles::LoadMxvFile, &KPcmFiles::LoadWavFile, &KPcmFiles::LoadVocFile};
    return kind == Kind::Raw ? v.LoadRawPcmFile(path, channels, bits) : (v.*kLoad[int(kind)])(path);
  }

  std::string LastMessage() const { return messages_.empty() ? std::string() : messages_.back(); }
  std::string NotValid(const std::string& path, const char* format) const {
    return KFormatMessage(msg::kNotValidFile, path.c_str(), format);
  }
};
