// The zoom-in window of one voice: up to 272 consecutive frames from
// ZiStart, each channel's raw sample in the low 16 bits of a cell together
// with flags telling which markers stand on that frame.
#pragma once

#include <array>
#include <cstdint>

#include "display/BoxGeometry.h"
#include "display/VoiceFacts.h"
#include "store/PcmMMap.h"

enum KZiFlag : uint32_t {
  kZiSampleBits = 0xFFFF,
  kZiEnd = 0x10000,
  kZiMkl = 0x20000,
  kZiMkr = 0x40000,
  kZiFlg = 0x80000,
  kZiMarked = 0x100000,  // MKL <= position <= MKR
};

// The flags of 1-based `position` in `voice`.
uint32_t ZiFlags(int32_t position, const KVoiceFacts& voice);

// A cell's height 0..255: the byte of an 8-bit sample; for 16-bit samples
// trunc(s / 256) + 128 (-32768 gives 0, -256 gives 127, -255 gives 128).
int ZiLevel(uint32_t cell, int32_t bitsPerSample);

// The window start after a shift of 32 frames to the left (direction < 0) or
// right: left not below 1; right up to END - 32, never below 1. The old
// start when the voice is empty.
int32_t ShiftedZiStart(int32_t ziStart, int32_t end, int direction);

struct KZoomWindow {
  std::array<std::array<uint32_t, kZiCells>, 2> ZiColumns{};  // [channel][cell]
  int32_t ZiCount = 0;
  // Where the frame carrying each marker was last drawn; 0 = not on screen.
  int32_t MklX = 0, MkrX = 0, FlgX = 0, EndX = 0;

  // Rebuilds the cells from the voice's samples at ZiStart (a start below 1
  // reads from 1). A voice of 0 or 1 frames shows none. Frames the store does
  // not hold read as silence. False for a format other than 1 or 2 channels
  // of 8 or 16 bits (no cells then).
  bool Fill(KPcmMMap& store, const KVoiceFacts& voice);
};
