#include "display/ZoomInBox.h"

#include <algorithm>
#include <utility>

#include "display/BoxScales.h"

using S = KColourSlot;
using G = KZoomGeometry;

KZoomInPainter::KZoomInPainter(KCanvas& canvas, const KZoomGeometry& geometry, const KColourScheme& colours,
                               const KDisplayOptions& options)
    : canvas_(canvas), geo_(geometry), colours_(colours), options_(options) {}

int KZoomInPainter::Resolution() const { return std::clamp(options_.ZiResolution, 2, 8); }

void KZoomInPainter::Redraw(KZoomWindow& window, const KVoiceFacts& voice) {
  const KColour back = Colour(S::ZI_BackGnd), pen = Colour(S::ZI_Border);
  const int l = kBoxLeftEdge, r = geo_.R, t = G::kTop, b = G::kBottom;
  canvas_.FillRect(0, 0, geo_.BoxWidth - 1, geo_.BoxHeight - 1, back);
  canvas_.FillRect(geo_.Left(), G::kInteriorTop, r, b, back);
  canvas_.Line(l, t, r, t, pen);
  canvas_.Line(r, t, r, b, pen);
  canvas_.Line(r, b, l, b, pen);
  canvas_.Line(l, b, l, t, pen);
  DrawScaleLabels(canvas_, ZoomScaleLabels(voice.BitsPerSample, options_.ZiScaleHex != 0), Colour(S::ZI_ScaleText),
                  back);
  DrawContents(window, voice);
}

void KZoomInPainter::DrawContents(KZoomWindow& window, const KVoiceFacts& voice) {
  DrawGrid(canvas_, geo_.Left(), geo_.Right(), G::kInteriorTop, G::kInteriorBottom, colours_.HorizontalGrid(true),
           colours_.VerticalGrid(true));
  Contents(window, voice, false);
}

void KZoomInPainter::EraseContents(KZoomWindow& window, const KVoiceFacts& voice) { Contents(window, voice, true); }

void KZoomInPainter::Contents(KZoomWindow& window, const KVoiceFacts& voice, bool erase) {
  window.MklX = window.MkrX = window.FlgX = window.EndX = 0;
  for (int ch = 0; ch < (voice.Channels == 2 ? 2 : 1); ++ch) Waveform(window, ch, voice.BitsPerSample, erase);
  MuteLine(window, erase);
  Markers(window, erase);
}

void KZoomInPainter::Waveform(KZoomWindow& window, int ch, int32_t bitsPerSample, bool erase) {
  const auto& cells = window.ZiColumns[ch];
  const int resolution = Resolution(), last = geo_.Right();
  const KColour back = Colour(S::ZI_BackGnd);
  const KColour marked = erase ? back : Colour(ch == 0 ? S::ZI_LMarked : S::ZI_RMarked);
  const KColour unmarked = erase ? back : Colour(ch == 0 ? S::ZI_LUnmark : S::ZI_RUnmark);
  const int count = std::clamp(window.ZiCount, 0, kZiCells);
  for (int x = geo_.Left(), i = 0; x <= last && i != count; x += resolution, ++i) {
    const uint32_t cur = cells[size_t(i)], next = i + 1 == count ? cur : cells[size_t(i) + 1];
    const KColour pen = cur & kZiMarked ? marked : unmarked;
    if (cur & kZiEnd) window.EndX = x;
    if (cur & kZiMkl) window.MklX = x;
    if (cur & kZiMkr) window.MkrX = x;
    if (cur & kZiFlg) window.FlgX = x;
    const int yc = G::kInteriorBottom - ZiLevel(cur, bitsPerSample);
    const int yn = G::kInteriorBottom - ZiLevel(next, bitsPerSample);
    const int x2 = std::min(x + resolution, last);
    if (options_.WaveformMode == 1) {
      canvas_.Line(x, G::kMuteRow, x, yc, pen);
      canvas_.Line(x, yc, x2, yc, pen);
      canvas_.Line(x2, yc, x2, G::kMuteRow, pen);
    } else {
      canvas_.Line(x, yc, x2, yn, pen);
    }
  }
}

void KZoomInPainter::MuteLine(const KZoomWindow& window, bool erase) {
  const int end = std::min(geo_.Left() + window.ZiCount * Resolution(), geo_.Right());
  canvas_.Line(geo_.Left(), G::kMuteRow, end, G::kMuteRow, Colour(erase ? S::ZI_BackGnd : S::ZI_MuteLine));
}

void KZoomInPainter::CursorLine(int x, bool erase) {
  if (x >= geo_.Right()) x = geo_.Right() - 1;
  if (erase) {
    canvas_.FillRect(x, G::kInteriorTop, x + 1, G::kInteriorBottom, Colour(S::ZI_BackGnd));
  } else {
    canvas_.FillTiled(x, G::kInteriorTop, x + 1, G::kInteriorBottom, colours_.Cursor(true));
  }
}

void KZoomInPainter::Markers(const KZoomWindow& window, bool erase) {
  const int resolution = Resolution();
  // MKL and FLG stand at the left edge of their frame, MKR and END at its right edge; 0 = not shown.
  const auto at = [](int32_t x, int offset) { return x == 0 ? 0 : x + offset; };
  const int mkl = at(window.MklX, 0), mkr = at(window.MkrX, resolution), flg = at(window.FlgX, 0);
  const int end = at(window.EndX, resolution);
  const std::pair<int, KIcon> icons[] = {{mkl, KIcon::MKL}, {mkr, KIcon::MKR}, {flg, KIcon::FLG}};
  for (const auto& [x, icon] : icons) {
    if (x == 0) continue;
    if (erase) {
      canvas_.FillRect(x - kIconApex, kMarkerIconRow, x - kIconApex + kIconWidth, kMarkerIconRow + kIconHeight,
                       Colour(S::ZI_BackGnd));
    } else {
      canvas_.DrawIcon(icon, x - kIconApex, kMarkerIconRow);
    }
  }
  for (int x : {mkl, mkr, flg, end})
    if (x != 0) CursorLine(x, erase);
}

bool ShiftZoomWindow(int direction, KVoiceFacts& voice, KPcmMMap& store, KZoomWindow& window, KZoomInPainter& zoom,
                     KOverview& overview, KOverviewPainter& overviewPainter) {
  const int32_t start = ShiftedZiStart(voice.ZiStart, voice.END, direction);
  if (voice.END <= 0 || start == voice.ZiStart) return false;
  zoom.EraseContents(window, voice);
  overviewPainter.Pointer(overview.PointerX, true);
  voice.ZiStart = start;
  window.Fill(store, voice);
  overview.PlacePointer(voice, overviewPainter.Geometry());
  zoom.DrawContents(window, voice);
  overviewPainter.Pointer(overview.PointerX);
  return true;
}
