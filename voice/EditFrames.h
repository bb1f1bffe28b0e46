// The frame walkers the editing operations are built from: a reader that
// takes a voice's frames 1..END in order (in another format if asked, then
// silence), a writer that fills a result store from its first frame, and an
// in-place rewrite of a run of frames. All of them keep their cells inline
// and allocate nothing per frame.
#pragma once

#include <cstdint>

#include "store/PcmMMap.h"
#include "voice/PcmIO.h"
#include "voice/UiHooks.h"

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

  // The next Next() gives frame p (1-based).
  void SeekFrame(int32_t p) {
    left_ = p <= end_ ? end_ - p + 1 : 0;
    if (left_ > 0) store_.Seek(int32_t(int64_t(p - 1) * own_.FrameBytes));
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

 private:
  KPcmMMap store_;
  KPcmCell own_;
  KPcmCell out_;
  int32_t end_;
  int32_t left_ = 0;
  bool convert_;
};

// Writes a result store frame after frame from its start and steps the
// progress bar with every frame.
class KFrameWriter {
 public:
  KFrameWriter(KPcmMMap& store, KProgress& progress) : store_(store), progress_(progress) { store_.Seek(0); }

  void Put(const KPcmCell& cell) {
    ok_ &= store_.WriteNext(cell);
    progress_.Step(++done_);
  }
  void Copy(KFrameReader& from, int64_t count) {
    for (; count > 0; --count) Put(from.Next());
  }
  void Fill(const KPcmCell& cell, int64_t count) {
    for (; count > 0; --count) Put(cell);
  }
  int64_t Done() const { return done_; }
  // False when a frame could not be written (a window failed to map).
  bool Ok() const { return ok_; }

 private:
  KPcmMMap& store_;
  KProgress& progress_;
  int64_t done_ = 0;
  bool ok_ = true;
};

// Rewrites frames from..to (1-based) of `store` in place: each frame is read
// into `cell`, passed to change(cell, p), stored with clipping and written
// back. `done` counts the frames for the progress bar across several runs.
template <class Change>
void RewriteFrames(KPcmMMap& store, KPcmCell cell, int32_t from, int32_t to, KProgress& progress, int64_t& done,
                   Change change) {
  if (from > to || !store.Seek(int32_t(int64_t(from - 1) * cell.FrameBytes))) return;
  for (int32_t p = from; p <= to; ++p) {
    store.ReadNext(cell, true);
    change(cell, p);
    cell.Store();
    store.WriteNext(cell);
    progress.Step(++done);
  }
}
