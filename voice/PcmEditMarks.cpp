// The Mark menu, auto-mark, the Goto commands and the zoom-in clicks that
// place markers. None of them touches samples or takes a snapshot.
#include <algorithm>

#include "resources/StringTable.h"
#include "voice/PcmEdit1.h"

template <class Change>
void KPcmEdit::MarkCommand(Change change) {
  if (END < 1) return;
  change();
  Refresh();
}

void KPcmEdit::MarkAll() {
  MarkCommand([this] {
    MKL = 1;
    MKR = END;
  });
}
void KPcmEdit::ResetMKL() {
  MarkCommand([this] { MKL = 1; });
}
void KPcmEdit::ResetMKR() {
  MarkCommand([this] { MKR = END; });
}
void KPcmEdit::ResetFLG() {
  MarkCommand([this] { FLG = 1; });
}

bool KPcmEdit::AutoMark(int32_t count) {
  if (END == 0) return false;
  if (count <= 0) {
    ShowMessageId(msg::kAutoMarkLength);
    return false;
  }
  MKL = FLG;
  MKR = int32_t(std::min<int64_t>(int64_t(FLG) + count - 1, END));
  Refresh();
  return true;
}

void KPcmEdit::GotoNear(int32_t position) {
  MarkCommand([this, position] { ZiStart = std::max(position - 32, 1); });
}
void KPcmEdit::GotoHead() { GotoNear(1); }
void KPcmEdit::GotoEnd() { GotoNear(END); }
void KPcmEdit::GotoFlg() { GotoNear(FLG); }
void KPcmEdit::GotoMkl() { GotoNear(MKL); }
void KPcmEdit::GotoMkr() { GotoNear(MKR); }

namespace {
int32_t ClampPosition(int32_t p, int32_t end) { return std::min(std::max(p, 1), end); }
}  // namespace

// A marker that crosses the other one takes its place, and the other one
// moves to the click.
void KPcmEdit::SetMklAt(int32_t p) {
  MarkCommand([this, p] {
    MKL = ClampPosition(p, END);
    if (MKR < MKL) std::swap(MKL, MKR);
  });
}
void KPcmEdit::SetMkrAt(int32_t p) {
  MarkCommand([this, p] {
    MKR = ClampPosition(p, END);
    if (MKR < MKL) std::swap(MKL, MKR);
  });
}
void KPcmEdit::SetFlgAt(int32_t p) {
  MarkCommand([this, p] { FLG = ClampPosition(p, END); });
}
