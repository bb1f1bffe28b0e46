// The frame walkers the editing operations are built from: a reader that
// takes a voice's frames 1..END in order (in another format if asked, then
// silence), a writer that fills a result store from its first frame, and an
// in-place rewrite of a run of frames. All of them keep their cells and
// blocks inline and allocate nothing per frame.
//
// Besides a frame at a time, the reader hands out runs of raw frames as they
// lie in its mapped window and the writer takes runs into its block, so that
// the common edits work whole runs through KSampleRun or a plain copy. The
// writer puts its frames into the result store a 64 KB block at a time.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "store/PcmMMap.h"
#include "voice/PcmIO.h"
#include "voice/UiHooks.h"

// `frames` frames of raw silence in the format of `cell`: what a cleared
// cell stores.
inline void Silence(const KPcmCell& cell, uint8_t* to, int64_t frames) {
  std::memset(to, cell.BytesPerSample == 1 ? 0x80 : 0, size_t(frames * cell.FrameBytes));
}

// Steps `progress` for every multiple of 4096 frames in (before, after], as
// stepping it after every frame would.
inline void StepFrames(KProgress& progress, int64_t before, int64_t after) {
  for (int64_t done = (before / 4096 + 1) * 4096; done <= after; done += 4096) progress.Step(done);
}

// Reads one voice through a store of its own on the voice's open file (not
// its name, which another program may have removed), so that the voice's
// cursor and any other reader of the same file stay where they are.
class KFrameReader {
 public:
  // Frames come out in the format of `target` (converted when the voice's
  // format differs); past the voice's END they are silence.
  KFrameReader(const KPcmIO& voice, const KPcmCell& target)
      : store_(KPcmMMap::SameFileAs{}, *voice.Storage),
        own_(voice.MakeCell()),
        out_(target),
        end_(voice.END),
        convert_(own_.Channels != target.Channels || own_.BytesPerSample != target.BytesPerSample) {
    SeekFrame(1);
  }
  KFrameReader(const KFrameReader&) = delete;
  KFrameReader& operator=(const KFrameReader&) = delete;

  const KPcmMMap& Store() const { return store_; }
  bool Usable() const { return store_.Usable(); }
  // True when frames are converted on the way, which runs do not do.
  bool Converts() const { return convert_; }
  // The voice's own format, that of runs.
  const KPcmCell& Own() const { return own_; }

  // The next Next() gives frame p (1-based); p may be END + 1 of a voice
  // of INT32_MAX frames.
  void SeekFrame(int64_t p) {
    left_ = p <= end_ ? end_ - p + 1 : 0;
    if (left_ > 0) store_.Seek(int32_t((p - 1) * own_.FrameBytes));
  }

  const KPcmCell& Next() {
    if (left_ <= 0) {
      out_.Clear();
      return out_;
    }
    --left_;
    store_.ReadNext(own_);
    if (!convert_) return own_;
    out_.ConvertFrom(own_);
    return out_;
  }

  // Up to `frames` of the next frames in the voice's own format as they lie
  // in the mapped window: their bytes and how many they are, at least one.
  // Null bytes stand for silence: past END, or where the voice's file could
  // not be mapped (Next() would give silence there too). Skip(n) then
  // passes the first n of them, as n calls of Next() would.
  const uint8_t* Run(int64_t& frames) {
    if (left_ <= 0) return nullptr;
    int32_t bytes = 0;
    const uint8_t* p = store_.WindowRun(bytes);
    frames = std::min<int64_t>({frames, left_, bytes / own_.FrameBytes});
    if (frames > 0) return p;
    frames = 1;  // the frame is cut by the window's end or unreadable
    if (store_.ReadNext(own_, true) && own_.Encode(single_)) return single_;
    return nullptr;
  }
  void Skip(int64_t frames) {
    for (int32_t bytes = 0; frames > 0 && left_ > 0;) {
      store_.WindowRun(bytes);
      int64_t n = std::min<int64_t>({frames, left_, bytes / own_.FrameBytes});
      if (n > 0) {
        store_.Skip(int32_t(n * own_.FrameBytes));
      } else {
        n = 1;
        store_.ReadNext(own_);
      }
      left_ -= n;
      frames -= n;
    }
  }

 private:
  KPcmMMap store_;
  KPcmCell own_;
  KPcmCell out_;
  int32_t end_;
  int64_t left_ = 0;
  bool convert_;
  uint8_t single_[4] = {};
};

// Writes a result store frame after frame from its start and steps the
// progress bar with every frame. Frames gather in a block that goes into the
// store whole (see KPcmMMap::WriteBytes); Ok() writes what is still held.
class KFrameWriter {
 public:
  static constexpr int32_t kBlockBytes = KPcmMMap::kWindow;

  KFrameWriter(KPcmMMap& store, KProgress& progress)
      : store_(store), progress_(progress), block_(new uint8_t[kBlockBytes]) {}
  ~KFrameWriter() { Flush(); }
  KFrameWriter(const KFrameWriter&) = delete;
  KFrameWriter& operator=(const KFrameWriter&) = delete;

  void Put(const KPcmCell& cell) {
    if (held_ + cell.FrameBytes > kBlockBytes) Flush();
    if (cell.Encode(block_.get() + held_)) {
      held_ += cell.FrameBytes;
    } else {
      ok_ = false;
    }
    progress_.Step(++done_);
  }
  void Copy(KFrameReader& from, int64_t count) {
    if (from.Converts() || !from.Own().ValidFormat()) {
      for (; count > 0; --count) Put(from.Next());
      return;
    }
    for (const KPcmCell& own = from.Own(); count > 0;) {
      int64_t n = count;
      uint8_t* to = Room(own.FrameBytes, n);
      const uint8_t* bytes = from.Run(n);
      if (bytes) {
        std::memcpy(to, bytes, size_t(n * own.FrameBytes));
      } else {
        Silence(own, to, n);
      }
      from.Skip(n);
      Commit(own.FrameBytes, n);
      count -= n;
    }
  }
  void Fill(const KPcmCell& cell, int64_t count) {
    uint8_t frame[4];
    if (!cell.Encode(frame)) {
      for (; count > 0; --count) Put(cell);
      return;
    }
    while (count > 0) {
      int64_t n = count;
      uint8_t* to = Room(cell.FrameBytes, n);
      for (int64_t i = 0; i < n; ++i) std::memcpy(to + i * cell.FrameBytes, frame, size_t(cell.FrameBytes));
      Commit(cell.FrameBytes, n);
      count -= n;
    }
  }

  // Room in the block for up to `frames` frames of `frameBytes` bytes: where
  // they go, with `frames` cut to what fits (at least one). Commit() then
  // counts the frames written there.
  uint8_t* Room(int32_t frameBytes, int64_t& frames) {
    if (held_ + frameBytes > kBlockBytes) Flush();
    frames = std::max<int64_t>(1, std::min<int64_t>(frames, (kBlockBytes - held_) / frameBytes));
    return block_.get() + held_;
  }
  void Commit(int32_t frameBytes, int64_t frames) {
    held_ += int32_t(frames * frameBytes);
    StepFrames(progress_, done_, done_ + frames);
    done_ += frames;
  }

  int64_t Done() const { return done_; }
  // Writes the frames still held; false when a frame could not be written.
  bool Ok() {
    Flush();
    return ok_;
  }

 private:
  void Flush() {
    if (held_ == 0) return;
    ok_ &= at_ + held_ <= store_.Size() && store_.WriteBytes(int32_t(at_), block_.get(), held_);
    at_ += held_;
    held_ = 0;
  }

  KPcmMMap& store_;
  KProgress& progress_;
  std::unique_ptr<uint8_t[]> block_;
  int32_t held_ = 0;  // bytes in the block, which goes to byte offset at_
  int64_t at_ = 0;
  int64_t done_ = 0;
  bool ok_ = true;
};

// Walks `frames` frames of `store` from its cursor, in runs that lie whole
// in the cursor's window: run(bytes, n) is given up to n of them (at most
// `most`) and returns how many it took, at least one; the cursor then moves
// past those. frame() takes a single frame that no window holds whole (or
// that cannot be read) through the cursor, as a walk frame by frame would.
template <class Run, class Frame>
void WalkRuns(KPcmMMap& store, int32_t frameBytes, int64_t frames, int64_t most, Run run, Frame frame) {
  while (frames > 0) {
    int32_t bytes = 0;
    const uint8_t* at = store.WindowRun(bytes);
    int64_t n = std::min<int64_t>({frames, most, bytes / frameBytes});
    if (n > 0) {
      n = run(at, n);
      store.Skip(int32_t(n * frameBytes));
    } else {
      n = 1;
      frame();
    }
    frames -= n;
  }
}

// Rewrites frames from..to (1-based) of `store` in place: each frame is read
// into `cell`, passed to change(cell, p), stored with clipping and written
// back. The frames are taken a window's run at a time and written back
// whole: changeRun(in, out, n, p) must make of the n raw frames at `in`,
// the first of them frame p, the bytes the cells would give (a format that
// is none of the four goes frame by frame). `done` counts the frames for
// the progress bar across several runs. The frame count runs in 64 bits: it
// passes `to`, which may be INT32_MAX; `from` may be to + 1 (nothing done).
template <class Change, class ChangeRun>
void RewriteFrames(KPcmMMap& store, KPcmCell cell, int64_t from, int64_t to, KProgress& progress, int64_t& done,
                   Change change, ChangeRun changeRun) {
  if (from > to || !store.Seek(int32_t((from - 1) * cell.FrameBytes))) return;
  std::unique_ptr<uint8_t[]> block(new uint8_t[KPcmMMap::kWindow]);
  int64_t p = from;
  auto step = [&](int64_t n) {
    StepFrames(progress, done, done + n);
    done += n;
    p += n;
    return n;
  };
  auto run = [&](const uint8_t* in, int64_t n) {
    changeRun(in, block.get(), int32_t(n), int32_t(p));
    store.WriteBytes(store.CursorPosition(), block.get(), int32_t(n) * cell.FrameBytes);
    return step(n);
  };
  auto frame = [&] {
    store.ReadNext(cell, true);
    change(cell, int32_t(p));
    cell.Store();
    store.WriteNext(cell);
    step(1);
  };
  if (!cell.ValidFormat()) {
    while (p <= to) frame();
    return;
  }
  WalkRuns(store, cell.FrameBytes, to - from + 1, KPcmMMap::kWindow, run, frame);
}

// Frames first.. of a run through a cell: each of the `frames` raw frames at
// `in` decoded, changed, stored and encoded at `out`, by a cell of Channels
// x Width, constants that let the compiler fold the cell's format tests.
template <int32_t Channels, int32_t Width, class Change>
void ChangeFrames(const uint8_t* in, uint8_t* out, int32_t frames, int32_t first, Change& change) {
  KPcmCell c(Channels, Width);
  for (int32_t i = 0; i < frames; ++i) {
    c.Decode(in + i * c.FrameBytes);
    change(c, first + i);
    c.Store();
    c.Encode(out + i * c.FrameBytes);
  }
}

// The same with the runs made frame by frame through a cell of the format
// of `cell` (runs come only in the four formats).
template <class Change>
void RewriteFrames(KPcmMMap& store, KPcmCell cell, int64_t from, int64_t to, KProgress& progress, int64_t& done,
                   Change change) {
  auto changeRun = [&cell, &change](const uint8_t* in, uint8_t* out, int32_t frames, int32_t first) {
    switch (cell.Channels * 4 + cell.BytesPerSample) {
      case 1 * 4 + 1:
        return ChangeFrames<1, 1>(in, out, frames, first, change);
      case 1 * 4 + 2:
        return ChangeFrames<1, 2>(in, out, frames, first, change);
      case 2 * 4 + 1:
        return ChangeFrames<2, 1>(in, out, frames, first, change);
      case 2 * 4 + 2:
        return ChangeFrames<2, 2>(in, out, frames, first, change);
    }
  };
  RewriteFrames(store, cell, from, to, progress, done, change, changeRun);
}
