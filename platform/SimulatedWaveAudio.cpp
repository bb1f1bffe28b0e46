#include "platform/SimulatedWaveAudio.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

const char* OpName(KWaveOp op) {
  static const char* const kNames[] = {"open", "close", "reset", "prepare", "queue", "start", "wait"};
  return kNames[size_t(op)];
}

}  // namespace

bool KSimulatedWaveAudio::Count(KWaveOp op, KWaveDirection direction) {
  int call = ++calls_[size_t(direction)][size_t(op)];
  for (const Fault& f : faults_) {
    if (f.Op == op && f.Direction == direction && f.Call == call)
      return Fail(std::string("simulated ") + OpName(op) + " failure");
  }
  return true;
}

void KSimulatedWaveAudio::FailAt(KWaveOp op, KWaveDirection direction, int call) {
  faults_.push_back({op, direction, call});
}

int KSimulatedWaveAudio::Calls(KWaveOp op, KWaveDirection direction) const {
  return calls_[size_t(direction)][size_t(op)];
}

bool KSimulatedWaveAudio::Prepare(KWaveDirection direction, KWaveBuffer& buffer) {
  return Count(KWaveOp::Prepare, direction) && KCachedWaveAudio::Prepare(direction, buffer);
}

bool KSimulatedWaveAudio::Queue(KWaveDirection direction, KWaveBuffer& buffer) {
  return Count(KWaveOp::Queue, direction) && KCachedWaveAudio::Queue(direction, buffer);
}

bool KSimulatedWaveAudio::OpenDevice(KWaveDirection direction, const KWaveFormat&) {
  return Count(KWaveOp::Open, direction);
}

void KSimulatedWaveAudio::CloseDevice(KWaveDirection direction) { Count(KWaveOp::Close, direction); }

bool KSimulatedWaveAudio::ResetDevice(KWaveDirection direction) { return Count(KWaveOp::Reset, direction); }

bool KSimulatedWaveAudio::StartDevice(KWaveDirection direction) { return Count(KWaveOp::Start, direction); }

void KSimulatedWaveAudio::Block(KWaveDirection direction, int) {
  Count(KWaveOp::Wait, direction);
  if (WhenWaiting) WhenWaiting(direction);
}

void KSimulatedWaveAudio::SetInput(std::vector<uint8_t> bytes) {
  input_ = std::move(bytes);
  inputAt_ = 0;
}

void KSimulatedWaveAudio::Advance(KWaveDirection direction, int64_t frames) {
  Device& d = At(direction);
  bool capture = direction == KWaveDirection::Input;
  if (!d.IsOpen || (capture && !d.Started)) return;
  int frameBytes = d.Format.FrameBytes();
  while (frames > 0) {
    KWaveQueue::Span span = d.Buffers.Next();
    if (span.Frames == 0) break;
    int64_t n = std::min(frames, span.Frames);
    size_t bytes = size_t(n * frameBytes);
    if (capture) {
      for (size_t i = 0; i < bytes; ++i, ++inputAt_) span.Data[i] = inputAt_ < input_.size() ? input_[inputAt_] : 0;
    } else {
      played_.insert(played_.end(), span.Data, span.Data + bytes);
    }
    d.Buffers.Moved(n);
    frames -= n;
  }
}
