// What the play and record tests share: a bank set on the simulated wave
// devices, with a device log of the buffers queued, a window stand-in that
// counts cursors and answers the stop poll, and voices that log the play
// pointer and the record progress.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include "platform/SimulatedWaveAudio.h"
#include "support/VoiceFixture.h"

// The simulated devices, with the frames of each buffer queued in either direction.
class KLoggedWaveAudio final : public KWaveAudio {
 public:
  bool Open(KWaveDirection d, int channels, int bits, int rate) override {
    frameBytes_[size_t(d)] = channels * bits / 8;
    return Sim.Open(d, channels, bits, rate);
  }
  bool CloseAll() override { return Sim.CloseAll(); }
  bool Reset(KWaveDirection d) override { return Sim.Reset(d); }
  bool Prepare(KWaveDirection d, KWaveBuffer& buffer) override { return Sim.Prepare(d, buffer); }
  bool Queue(KWaveDirection d, KWaveBuffer& buffer) override {
    if (d == KWaveDirection::Input) InputFill.push_back(Uniform(buffer));
    if (!Sim.Queue(d, buffer)) return false;
    Queued[size_t(d)].push_back(buffer.Bytes / frameBytes_[size_t(d)]);
    return true;
  }
  bool Start(KWaveDirection d) override { return Sim.Start(d); }
  int64_t Position(KWaveDirection d) override { return Sim.Position(d); }
  KWaveRelease Unprepare(KWaveDirection d, KWaveBuffer& buffer) override { return Sim.Unprepare(d, buffer); }
  void Wait(KWaveDirection d, int ms) override { Sim.Wait(d, ms); }
  const KStatus& Status() const override { return Sim.Status(); }

  const std::vector<int32_t>& QueuedOut() const { return Queued[size_t(KWaveDirection::Output)]; }
  const std::vector<int32_t>& QueuedIn() const { return Queued[size_t(KWaveDirection::Input)]; }

  KSimulatedWaveAudio Sim;
  std::vector<int32_t> Queued[2];
  // For each input buffer handed to Queue: the value all its bytes held, or -1.
  std::vector<int> InputFill;

 private:
  static int Uniform(const KWaveBuffer& buffer) {
    bool same = std::all_of(buffer.Data, buffer.Data + buffer.Bytes, [&](uint8_t b) { return b == buffer.Data[0]; });
    return same ? buffer.Data[0] : -1;
  }

  int frameBytes_[2] = {1, 1};
};

class KTestUi final : public KUiHooks {
 public:
  void PushCursor(KCursorRole role) override {
    Cursors.push_back(role);
    ++Depth;
  }
  void PopCursor() override { --Depth; }
  bool StopRequested() override {
    ++Polls;
    return Stop && Stop(Polls);
  }

  std::vector<KCursorRole> Cursors;
  int Depth = 0;
  int Polls = 0;
  // Given the number of the poll (from 1); true stops the loop.
  std::function<bool(int)> Stop;
};

class KLoggingVoice final : public KHeadlessVoice {
 public:
  KLoggingVoice(KBankSet& set, int32_t bank, MessageSink sink, std::vector<int32_t>& positions,
                std::vector<int32_t>& percents)
      : KHeadlessVoice(set, bank, std::move(sink)), positions_(positions), percents_(percents) {}
  bool ShowPlayPosition(int32_t position) override {
    positions_.push_back(position);
    return true;
  }
  bool ShowRecordProgress(int32_t percent) override {
    percents_.push_back(percent);
    return true;
  }
  bool Refresh() override {
    ++Refreshes;
    return true;
  }
  int Refreshes = 0;

 private:
  std::vector<int32_t>& positions_;
  std::vector<int32_t>& percents_;
};

class WaveFixture : public VoiceFixture {
 protected:
  static constexpr KWaveDirection kOut = KWaveDirection::Output;
  static constexpr KWaveDirection kIn = KWaveDirection::Input;

  WaveFixture()
      : set_(
            swap_,
            [this](KBankSet& set, int32_t index) -> std::unique_ptr<KPcmFiles> {
              return std::make_unique<KLoggingVoice>(
                  set, index, [this](const std::string& text) { messages_.push_back(text); }, positions_, percents_);
            },
            &ui_, &audio_) {
    set_.SelectBank(1);
  }

  KLoggingVoice& Voice() { return static_cast<KLoggingVoice&>(*set_.CurrentVoice); }
  KSimulatedWaveAudio& Sim() { return audio_.Sim; }
  // On every wait of a loop the device moves `frames` frames.
  void Pace(int64_t frames) {
    Sim().WhenWaiting = [this, frames](KWaveDirection d) { Sim().Advance(d, frames); };
  }
  int Calls(KWaveOp op, KWaveDirection d) const { return audio_.Sim.Calls(op, d); }
  // Bytes 0, 1, 2, ... (mod 251, so that no buffer boundary repeats a pattern).
  static std::vector<uint8_t> Counting(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = uint8_t(i % 251);
    return bytes;
  }

  KLoggedWaveAudio audio_;
  KTestUi ui_;
  std::vector<int32_t> positions_;
  std::vector<int32_t> percents_;
  KBankSet set_;
};
