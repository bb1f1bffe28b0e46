// KSimulatedWaveAudio: wave devices for tests. Nothing moves until the test
// advances a device's clock; then output consumes frames from the queued
// buffers (logging the bytes heard) and input fills them from a scripted
// input. Any open, prepare, queue or start can be made to fail, and every
// device call is counted.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/CachedWaveAudio.h"

enum class KWaveOp { Open, Close, Reset, Prepare, Queue, Start, Wait, Count };

class KSimulatedWaveAudio final : public KCachedWaveAudio {
 public:
  bool Prepare(KWaveDirection direction, KWaveBuffer& buffer) override;
  bool Queue(KWaveDirection direction, KWaveBuffer& buffer) override;

  // The `call`-th call (1-based, as Calls() counts) of `op` in `direction` fails.
  void FailAt(KWaveOp op, KWaveDirection direction, int call);
  // Calls so far; Open counts devices actually opened, not reuses of the cache.
  int Calls(KWaveOp op, KWaveDirection direction) const;

  // The device plays or captures up to `frames` frames (output stops when its
  // queue runs dry; input captures only once started).
  void Advance(KWaveDirection direction, int64_t frames);
  // Bytes output has played, in order, since the simulation began.
  const std::vector<uint8_t>& Played() const { return played_; }
  // Bytes input captures, in order; past their end it captures zeros.
  void SetInput(std::vector<uint8_t> bytes);
  // Runs on every Wait, for the test to move the clock or press keys.
  std::function<void(KWaveDirection)> WhenWaiting;

 protected:
  bool OpenDevice(KWaveDirection direction, const KWaveFormat& format) override;
  void CloseDevice(KWaveDirection direction) override;
  bool ResetDevice(KWaveDirection direction) override;
  bool StartDevice(KWaveDirection direction) override;
  void Service(KWaveDirection) override {}
  int64_t Finished(KWaveDirection direction) override { return At(direction).Buffers.MovedFrames(); }
  void Block(KWaveDirection direction, int ms) override;

 private:
  struct Fault {
    KWaveOp Op;
    KWaveDirection Direction;
    int Call;
  };

  // Counts a call; false (with a message) when it is scripted to fail.
  bool Count(KWaveOp op, KWaveDirection direction);

  std::array<std::array<int, size_t(KWaveOp::Count)>, 2> calls_{};
  std::vector<Fault> faults_;
  std::vector<uint8_t> played_;
  std::vector<uint8_t> input_;
  size_t inputAt_ = 0;
};
