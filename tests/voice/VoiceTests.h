// What the voice tests share: a voice's whole state for exact comparisons,
// patterned samples, files in the test's folder with byte edits, and the
// refusal texts.
#pragma once

#include <array>
#include <fstream>
#include <functional>
#include <iterator>
#include <tuple>
#include <vector>

#include "platform/LittleEndian.h"
#include "resources/StringTable.h"
#include "support/VoiceFixture.h"

using namespace std::string_literals;

// The texts as the user reads them; Text fills each %s or %d with the next argument.
constexpr const char* kNotValid = "Error 001 \n\nThe file : %s \nis not a valid %s file !!!";
constexpr const char* kInBank =
    "Error 002 \n\nThe file : %s \nWas exist already on Melotrix BankID = %d\nSystem can not reload it !!!";
constexpr const char* kNoData =
    "Error 003 \n\nThe file : %s \nCan not find the data-chunk \n"
    "It's format is not RIFF-WAV \nSystem can not load it !!!";
constexpr const char* kCompressed =
    "Error 004 \n\nThe file : %s \nIt is a compressed WAV format \nSystem can not load it !!!";
constexpr const char* kCannotCreate = "Error 005 \n\nThe file : %s \nSystem can not create it !!!";
inline std::string Text(std::string text, const std::vector<std::string>& args) {
  for (size_t i = 0, at = 0; i < args.size() && (at = text.find('%', at)) != std::string::npos; at += args[i++].size())
    text.replace(at, 2, args[i]);
  return text;
}
// Bytes that differ from their neighbours and from any other seed's.
inline std::vector<uint8_t> Pattern(size_t n, uint32_t seed = 1) {
  std::vector<uint8_t> bytes(n);
  for (uint32_t x = seed * 2654435761u + 12345; uint8_t & b : bytes) b = uint8_t((x = x * 1103515245u + 12345) >> 16);
  return bytes;
}
inline std::string Le(uint32_t value, int n) {  // `value` as `n` little-endian bytes
  std::string s(size_t(n), '\0');
  PutLe(reinterpret_cast<uint8_t*>(s.data()), value, n);
  return s;
}
// `bytes` written over a file at `at` ('='), inserted there ('+'), or the file cut to `at` bytes ('<').
struct Edit {
  size_t at;
  std::string bytes;
  char how = '=';
};

class VoiceTests : public VoiceFixture {
 protected:
  using Run = std::function<bool(KPcmFiles&)>;
  using Marks = std::array<int32_t, 5>;  // END, MKL, MKR, FLG, ZiStart
  using State = std::tuple<std::vector<uint8_t>, int32_t, int32_t, int32_t, Marks>;
  enum class Kind { Mxv, Wav, Voc, Raw };
  static constexpr Kind kKinds[] = {Kind::Mxv, Kind::Wav, Kind::Voc, Kind::Raw};
  static constexpr const char* kName[] = {"MXV", "WAV", "VOC", "PCM"};

  static Marks MarksOf(const KPcmFiles& v) { return {v.END, v.MKL, v.MKR, v.FLG, v.ZiStart}; }
  static State Capture(KPcmFiles& v) { return {Bytes(v), v.Channels, v.BitsPerSample, v.SampleRate, MarksOf(v)}; }
  // The state of a voice of `bytes` in the given format, marked whole.
  static State Whole(int32_t channels, int32_t bits, int32_t rate, const std::vector<uint8_t>& bytes) {
    const int32_t end = int32_t(bytes.size()) * 8 / (channels * bits), one = end > 0;
    return {bytes, channels, bits, rate, {end, one, end, one, one}};
  }
  // Everything a refused load or a failed edit or save must keep (a refused load drops the undo snapshots).
  static auto StateOf(KPcmFiles& v) {
    return std::make_tuple(Capture(v), v.FileName, v.AliasName, v.FileType, v.UndoDepth());
  }
  static void Mark(KPcmFiles& v, int32_t mkl, int32_t mkr, int32_t flg) {
    std::tie(v.MKL, v.MKR, v.FLG) = std::tie(mkl, mkr, flg);
  }
  // Raw bytes step, 2 step, ... n step (mod 256).
  static std::vector<uint8_t> Ramp(int n, int step = 10) {
    std::vector<uint8_t> raw;
    for (int i = 1; i <= n; ++i) raw.push_back(uint8_t(i * step));
    return raw;
  }
  // A voice of `frames` patterned frames at `rate`, with an alias too long to be kept whole.
  static void GiveVoice(KPcmFiles& v, int32_t channels, int32_t bits, int32_t frames, int32_t rate = 22050) {
    Fill(v, channels, bits, Pattern(size_t(frames) * size_t(channels * bits / 8), uint32_t(frames)));
    v.SampleRate = rate;
    v.SetAlias("twenty-one characters");
  }
  KPcmFiles& Buffer() { return banks_.CopyBuffer(); }

  std::string PathOf(const std::string& name) const { return dir_ / name; }
  static void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  }
  static std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static std::vector<uint8_t> Edited(std::vector<uint8_t> f, const std::vector<Edit>& edits) {
    for (const Edit& e : edits) {
      if (e.how == '<') f.resize(e.at);
      if (e.how == '+') f.insert(f.begin() + long(e.at), e.bytes.begin(), e.bytes.end());
      if (e.how == '=') std::copy(e.bytes.begin(), e.bytes.end(), f.begin() + long(e.at));
    }
    return f;
  }
  static KFileType TypeOf(Kind k) {  // raw: mono 8-bit
    constexpr KFileType kTypes[] = {KFileType::Mxv, KFileType::Wav, KFileType::Voc, KFileType::RawMono8};
    return kTypes[int(k)];
  }
  // Saves or loads in the format of `kind`; raw files load in the format given, which may be none the
  // table knows (a load that must be refused).
  static bool SaveAs(KPcmFiles& v, Kind k, const std::string& p) { return FindFileFormat(TypeOf(k))->Save(v, p); }
  static bool LoadAs(KPcmFiles& v, Kind k, const std::string& p, int32_t channels = 1, int32_t bits = 8) {
    return k == Kind::Raw ? v.LoadRawPcmFile(p, channels, bits) : FindFileFormat(TypeOf(k))->Load(v, p);
  }
  std::string LastMessage() const { return messages_.empty() ? std::string() : messages_.back(); }
  // True when the last message names `what`.
  bool LastMessageNames(const std::string& what) const { return LastMessage().find(what) != std::string::npos; }
};
