// Cut, mute, fades, END at FLG and insert mute.
#include <utility>

#include "resources/StringTable.h"
#include "voice/EditFrames.h"
#include "voice/PcmEdit1.h"

bool KPcmEdit::CutMarked() { return CutArea(true); }
bool KPcmEdit::CutUnmark() { return CutArea(false); }

// Keeps what lies outside the marked area (marked) or inside it (unmark); the
// rest of the voice is then marked whole.
bool KPcmEdit::CutArea(bool marked) {
  if (END == 0) return false;
  const int32_t inside = MKR - MKL + 1;
  const int32_t N = marked ? END - inside : inside;
  std::unique_ptr<KFrameReader> voice = OpenReader(*this, MakeCell());
  if (!voice) return false;
  auto fill = [&](KFrameWriter& out) {
    if (marked) {
      out.Copy(*voice, MKL - 1);
      voice->SeekFrame(int64_t(MKR) + 1);
      out.Copy(*voice, END - MKR);
    } else {
      voice->SeekFrame(MKL);
      out.Copy(*voice, inside);
    }
  };
  const KResultPlan plan{N, FrameBytes(), "the cut", marked ? "Undo : Cut marked area" : "Undo : Cut unmark area",
                         marked ? "Cut marked area" : "Cut unmark area"};
  return Rebuild(plan, fill, [&] { MarkWhole(N); });
}

bool KPcmEdit::MuteMarked() { return MuteArea(true); }
bool KPcmEdit::MuteUnmark() { return MuteArea(false); }

bool KPcmEdit::MuteArea(bool marked) {
  if (END == 0) return false;
  const int32_t inside = MKR - MKL + 1;
  const KPcmCell cell = MakeCell();
  auto silence = [](KPcmCell& c, int32_t) { c.Clear(); };
  // A cleared cell stores the format's silence.
  auto silenceRun = [&cell](const uint8_t*, uint8_t* out, int32_t frames, int32_t) { Silence(cell, out, frames); };
  auto mute = [&](int64_t from, int64_t to, KProgress& progress, int64_t& done) {
    RewriteFrames(*Storage, cell, from, to, progress, done, silence, silenceRun);
  };
  return EditInPlace(marked ? "Undo : Fill mute marked area" : "Undo : Fill mute unmark area",
                     marked ? "Mute marked area" : "Mute unmark area", marked ? inside : END - inside,
                     [&](KProgress& progress) {
                       int64_t done = 0;
                       if (marked) {
                         mute(MKL, MKR, progress, done);
                       } else {
                         mute(1, MKL - 1, progress, done);
                         mute(int64_t(MKR) + 1, END, progress, done);
                       }
                     });
}

bool KPcmEdit::FadeIn() { return Fade(true); }
bool KPcmEdit::FadeOut() { return Fade(false); }

// The fade-in scales by (p - MKL) / n with n = MKR - MKL + 1 and needs n > 16;
// the fade-out by 1 - (p - MKL) / d with d = MKR - MKL and needs only d > 0.
bool KPcmEdit::Fade(bool in) {
  const double span = in ? MKR - MKL + 1 : MKR - MKL;
  if (END <= 2 || span <= (in ? 16 : 0)) return false;
  const int32_t left = MKL;
  auto ramp = [in, span, left](KPcmCell& cell, int32_t p) {
    double share = (p - left) / span;
    cell.Scale(in ? share : 1 - share);
  };
  return EditInPlace(in ? "Undo : Linear Fade-in" : "Undo : Linear Fade-out", in ? "Fade-in" : "Fade-out",
                     MKR - MKL + 1, [&](KProgress& progress) {
                       int64_t done = 0;
                       RewriteFrames(*Storage, MakeCell(), MKL, MKR, progress, done, ramp);
                     });
}

bool KPcmEdit::SetEndAtFlg() {
  if (END == 0 || FLG >= END - 2) return true;
  if (!SnapshotForEditInPlace("Undo : Set voice END at FLG position")) return false;
  // Shrinking cannot lose frames that stay: if it fails, the store simply
  // keeps more bytes than END needs.
  Storage->Resize(FLG * FrameBytes());
  MarkWhole(FLG);
  OverviewStale = true;
  Refresh();
  return true;
}

bool KPcmEdit::InsertMute(int32_t frames) {
  if (frames == 0) return true;
  if (frames < 0) {
    ShowMessageId(msg::kNegativeInsert);
    return false;
  }
  // Into an empty voice the silence goes at position 1.
  const int32_t flag = END == 0 ? 1 : FLG;
  const int32_t before = END == 0 ? 0 : flag;
  const int64_t N = int64_t(END) + frames;
  std::unique_ptr<KFrameReader> voice = OpenReader(*this, MakeCell());
  if (!voice) return false;
  auto fill = [&](KFrameWriter& out) {
    out.Copy(*voice, before);
    out.Fill(MakeCell(), frames);
    out.Copy(*voice, END - before);
  };
  return Rebuild({N, FrameBytes(), "the insert", "Undo : Insert mute", "Insert mute"}, fill, [&] {
    END = int32_t(N);
    MKL = flag;
    MKR = flag + frames - 1;
    FLG = ZiStart = 1;
  });
}
