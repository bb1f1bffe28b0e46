// A bank set of headless voices in a private swap folder, with the messages the voices showed, and helpers to fill and
// read a voice's frames.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TempDir.h"
#include "voice/BankSet.h"
#include "voice/HeadlessVoice.h"

class VoiceFixture : public ::testing::Test {
 protected:
  VoiceFixture()
      : swap_(dir_ / "SYS_DATA"),
        made_(std::filesystem::create_directory(swap_)),
        banks_(swap_, KHeadlessVoice::Factory([this](const std::string& text) { messages_.push_back(text); })) {
    banks_.SelectBank(1);
  }

  KPcmFiles& Voice(int bank) { return banks_.Bank(bank); }
  KPcmFiles& Current() { return *banks_.CurrentVoice; }

  // Gives `voice` the format and the raw bytes of `frames`, all marked.
  static void Fill(KPcmFiles& voice, int32_t channels, int32_t bits, const std::vector<uint8_t>& bytes) {
    voice.Channels = channels;
    voice.BitsPerSample = bits;
    int32_t frameBytes = channels * bits / 8;
    int32_t end = int32_t(bytes.size()) / frameBytes;
    ASSERT_TRUE(voice.Storage->Resize(bytes.empty() ? 16 : int32_t(bytes.size())));
    if (!bytes.empty()) {
      uint8_t* view = voice.Storage->MapView(0, int32_t(bytes.size()));
      ASSERT_NE(view, nullptr);
      std::copy(bytes.begin(), bytes.end(), view);
      voice.Storage->UnmapView(view);
    }
    voice.END = voice.MKR = end;
    voice.MKL = voice.FLG = voice.ZiStart = end > 0 ? 1 : 0;
  }
  // Mono 8-bit frames from raw byte values.
  static void FillMono8(KPcmFiles& voice, const std::vector<uint8_t>& raw) { Fill(voice, 1, 8, raw); }
  // 16-bit frames from signed sample values (channels interleaved).
  static void Fill16(KPcmFiles& voice, int32_t channels, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (int16_t s : samples) {
      bytes.push_back(uint8_t(uint16_t(s) & 0xFF));
      bytes.push_back(uint8_t(uint16_t(s) >> 8));
    }
    Fill(voice, channels, 16, bytes);
  }

  // The voice's frames 1..END as raw bytes.
  static std::vector<uint8_t> Bytes(KPcmFiles& voice) {
    int32_t n = voice.END * voice.FrameBytes();
    if (n == 0) return {};
    uint8_t* view = voice.Storage->MapView(0, n);
    if (!view) return {};
    std::vector<uint8_t> bytes(view, view + n);
    voice.Storage->UnmapView(view);
    return bytes;
  }
  static std::vector<int16_t> Samples16(KPcmFiles& voice) {
    std::vector<uint8_t> b = Bytes(voice);
    std::vector<int16_t> s;
    for (size_t i = 0; i + 1 < b.size(); i += 2) s.push_back(int16_t(uint16_t(b[i] | (b[i + 1] << 8))));
    return s;
  }

  TempDir dir_;
  std::string swap_;
  bool made_;
  std::vector<std::string> messages_;
  KBankSet banks_;
};
