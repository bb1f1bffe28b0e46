// The overview (zoom-out) box of one voice: its envelope, the pixel columns
// of its markers and position pointer, and the drawing of the box from them.
// Drawing never reads samples; only Recompute does.
#pragma once

#include <cstdint>

#include "display/BoxGeometry.h"
#include "display/Canvas.h"
#include "display/ColourScheme.h"
#include "display/DisplayOptions.h"
#include "display/Envelope.h"
#include "display/VoiceFacts.h"
#include "store/PcmMMap.h"

enum class KMarker { MKL, MKR, FLG };

// The overview column of `position` for markers: trunc(left + position * width / end)
// in real arithmetic; 0 (not shown) when end is 0.
int32_t OverviewMarkerColumn(int32_t position, int32_t end, const KOverviewGeometry& geometry);
// The same for the pointer, in 64-bit integers: left + position * width div end.
int32_t OverviewPointerColumn(int32_t position, int32_t end, const KOverviewGeometry& geometry);

class KOverviewPainter;

// Per voice. Everything starts at zero: an empty envelope, nothing shown.
class KOverview {
 public:
  KZoEnvelope Envelope{};
  // Pixel columns in the box; 0 = not shown.
  int32_t MklX = 0, MkrX = 0, FlgX = 0, PointerX = 0;

  // The reduction of the voice's samples into Envelope (see ReduceEnvelope).
  // `progress` only while the progress window is visible.
  bool Recompute(KPcmMMap& store, const KVoiceFacts& voice, KEnvelopeProgress* progress = nullptr,
                 int columns = kZoColumns);
  // How many reductions this voice has run.
  int64_t Reductions() const { return reductions_; }

  void PlaceMarker(KMarker marker, const KVoiceFacts& voice, const KOverviewGeometry& geometry);
  void PlaceMarkers(const KVoiceFacts& voice, const KOverviewGeometry& geometry);
  // The pointer at ZiStart.
  void PlacePointer(const KVoiceFacts& voice, const KOverviewGeometry& geometry);
  // Moves the pointer to the play position, erasing and redrawing it only
  // when its column changes; with end 0 it becomes 0 and nothing is drawn.
  // True when it was redrawn.
  bool ShowPlayPosition(int32_t position, int32_t end, KOverviewPainter& painter);

 private:
  int64_t reductions_ = 0;
};

// Draws one voice's overview state into the overview canvas, in the
// program's colours. Build one per drawing with the current geometry.
class KOverviewPainter {
 public:
  KOverviewPainter(KCanvas& canvas, const KOverviewGeometry& geometry, const KColourScheme& colours,
                   const KDisplayOptions& options);
  const KOverviewGeometry& Geometry() const { return geo_; }

  // Background, borders, scale labels, grid, envelope, mute lines, markers, pointer.
  void Redraw(const KOverview& overview, const KVoiceFacts& voice);
  // Draw or erase forms: the erase form draws the same shapes in the background colour.
  void Envelope(const KOverview& overview, const KVoiceFacts& voice, bool erase = false);
  void Markers(const KOverview& overview, bool erase = false);
  void Pointer(int32_t x, bool erase = false);
  void MuteLines();
  void Grid();

 private:
  KColour Colour(KColourSlot slot) const { return colours_.Get(slot); }
  void Frame(int ch);
  void Icon(KIcon icon, int x, int y, bool erase);

  KCanvas& canvas_;
  const KOverviewGeometry geo_;
  const KColourScheme& colours_;
  const KDisplayOptions& options_;
};
