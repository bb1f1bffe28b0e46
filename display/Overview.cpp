#include "display/Overview.h"

#include "display/BoxScales.h"

using S = KColourSlot;

int32_t OverviewMarkerColumn(int32_t position, int32_t end, const KOverviewGeometry& geometry) {
  if (end == 0) return 0;
  return int32_t(geometry.Left() + double(position) * geometry.Width() / end);
}

int32_t OverviewPointerColumn(int32_t position, int32_t end, const KOverviewGeometry& geometry) {
  if (end == 0) return 0;
  return int32_t(geometry.Left() + int64_t(position) * geometry.Width() / end);
}

bool KOverview::Recompute(KPcmMMap& store, const KVoiceFacts& voice, KEnvelopeProgress* progress, int columns) {
  ++reductions_;
  return ReduceEnvelope(store, voice.Channels, voice.BitsPerSample, voice.END, Envelope, progress, columns);
}

void KOverview::PlaceMarker(KMarker marker, const KVoiceFacts& voice, const KOverviewGeometry& geometry) {
  switch (marker) {
    case KMarker::MKL:
      MklX = OverviewMarkerColumn(voice.MKL, voice.END, geometry);
      break;
    case KMarker::MKR:
      MkrX = OverviewMarkerColumn(voice.MKR, voice.END, geometry);
      break;
    case KMarker::FLG:
      FlgX = OverviewMarkerColumn(voice.FLG, voice.END, geometry);
      break;
  }
}

void KOverview::PlaceMarkers(const KVoiceFacts& voice, const KOverviewGeometry& geometry) {
  for (KMarker m : {KMarker::MKL, KMarker::MKR, KMarker::FLG}) PlaceMarker(m, voice, geometry);
}

void KOverview::PlacePointer(const KVoiceFacts& voice, const KOverviewGeometry& geometry) {
  PointerX = OverviewPointerColumn(voice.ZiStart, voice.END, geometry);
}

bool KOverview::ShowPlayPosition(int32_t position, int32_t end, KOverviewPainter& painter) {
  const int32_t x = OverviewPointerColumn(position, end, painter.Geometry());
  if (end == 0 || x == PointerX) {
    PointerX = x;
    return false;
  }
  painter.Pointer(PointerX, true);
  PointerX = x;
  painter.Pointer(PointerX);
  return true;
}

KOverviewPainter::KOverviewPainter(KCanvas& canvas, const KOverviewGeometry& geometry, const KColourScheme& colours,
                                   const KDisplayOptions& options)
    : canvas_(canvas), geo_(geometry), colours_(colours), options_(options) {}

void KOverviewPainter::Redraw(const KOverview& overview, const KVoiceFacts& voice) {
  const KColour back = Colour(S::ZO_BackGnd);
  canvas_.FillRect(0, 0, geo_.BoxWidth - 1, geo_.BoxHeight - 1, back);
  for (int ch = 0; ch < geo_.Channels; ++ch)
    canvas_.FillRect(geo_.Left(), geo_.InteriorTop(ch), geo_.R, geo_.Bottom[ch], back);
  for (int ch = 0; ch < geo_.Channels; ++ch) Frame(ch);
  DrawScaleLabels(canvas_, OverviewScaleLabels(geo_, voice.BitsPerSample, options_.ZoScaleHex != 0),
                  Colour(S::ZO_ScaleText), back);
  Grid();
  Envelope(overview, voice);
  MuteLines();
  Markers(overview);
  Pointer(overview.PointerX);
}

void KOverviewPainter::Frame(int ch) {
  const int l = kBoxLeftEdge, r = geo_.R, t = geo_.Top[ch], b = geo_.Bottom[ch];
  const KColour pen = Colour(S::ZO_Border);
  canvas_.Line(l, t, r, t, pen);
  canvas_.Line(r, t, r, b, pen);
  canvas_.Line(r, b, l, b, pen);
  canvas_.Line(l, b, l, t, pen);
}

void KOverviewPainter::Grid() {
  for (int ch = 0; ch < geo_.Channels; ++ch)
    DrawGrid(canvas_, geo_.Left(), geo_.Right(), geo_.InteriorTop(ch), geo_.InteriorBottom(ch),
             colours_.HorizontalGrid(false), colours_.VerticalGrid(false));
}

void KOverviewPainter::Envelope(const KOverview& overview, const KVoiceFacts& voice, bool erase) {
  const bool stereo = geo_.Channels == 2;
  const int32_t divisor = (voice.BitsPerSample == 16 ? 512 : 2) * (stereo ? 2 : 1);
  const KColour back = Colour(S::ZO_BackGnd);
  for (int ch = 0; ch < geo_.Channels; ++ch) {
    const int base = geo_.InteriorBottom(ch) - (stereo ? 32 : 64);
    const KColour marked = erase ? back : Colour(ch == 0 ? S::ZO_LMarked : S::ZO_RMarked);
    const KColour unmarked = erase ? back : Colour(ch == 0 ? S::ZO_LUnmark : S::ZO_RUnmark);
    for (int x = geo_.Left(); x <= geo_.Right(); ++x) {
      const int i = x - geo_.Left();
      const KColour pen = overview.MklX <= x && x <= overview.MkrX ? marked : unmarked;
      canvas_.Line(x, base - overview.Envelope.Positive[ch][i] / divisor, x,
                   base + overview.Envelope.Negative[ch][i] / divisor, pen);
    }
  }
}

void KOverviewPainter::MuteLines() {
  for (int ch = 0; ch < geo_.Channels; ++ch)
    canvas_.Line(geo_.Left(), geo_.MuteRow(ch), geo_.Right(), geo_.MuteRow(ch), Colour(S::ZO_MuteLine));
}

void KOverviewPainter::Icon(KIcon icon, int x, int y, bool erase) {
  if (erase) {
    canvas_.FillRect(x, y, x + kIconWidth, y + kIconHeight, Colour(S::ZO_BackGnd));
  } else {
    canvas_.DrawIcon(icon, x, y);
  }
}

void KOverviewPainter::Markers(const KOverview& overview, bool erase) {
  const int32_t columns[] = {overview.MklX, overview.MkrX, overview.FlgX};
  const KIcon icons[] = {KIcon::MKL, KIcon::MKR, KIcon::FLG};
  for (int m = 0; m < 3; ++m)
    if (columns[m] != 0) Icon(icons[m], columns[m] - kIconApex, geo_.Top[0] - 13, erase);
  const KColour back = Colour(S::ZO_BackGnd);
  for (int32_t x : columns) {
    if (x == 0) continue;
    for (int ch = 0; ch < geo_.Channels; ++ch) {
      const int top = geo_.InteriorTop(ch), bottom = geo_.InteriorBottom(ch);
      if (erase) {
        canvas_.FillRect(x, top, x + 1, bottom, back);
      } else {
        canvas_.FillTiled(x, top, x + 1, bottom, colours_.Cursor(false));
      }
    }
  }
}

void KOverviewPainter::Pointer(int32_t x, bool erase) {
  if (x == 0) return;
  for (int ch = 0; ch < geo_.Channels; ++ch) Icon(KIcon::Pointer, x - kIconApex, geo_.PointerRow(ch), erase);
}
