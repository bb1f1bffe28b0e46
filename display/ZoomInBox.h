// The drawing of the zoom-in box from one voice's zoom-in window, and the
// waveform shifter that moves the window by 32 frames.
#pragma once

#include <cstdint>

#include "display/BoxGeometry.h"
#include "display/Canvas.h"
#include "display/ColourScheme.h"
#include "display/DisplayOptions.h"
#include "display/Overview.h"
#include "display/VoiceFacts.h"
#include "display/ZoomWindow.h"
#include "store/PcmMMap.h"

// Draws into the zoom-in canvas in the program's colours, resolution and
// waveform mode. Drawing the waveform records in the window where each
// marker's frame was drawn; it never refills the window.
class KZoomInPainter {
 public:
  KZoomInPainter(KCanvas& canvas, const KZoomGeometry& geometry, const KColourScheme& colours,
                 const KDisplayOptions& options);
  const KZoomGeometry& Geometry() const { return geo_; }

  // Background, border, scale labels, then the contents.
  void Redraw(KZoomWindow& window, const KVoiceFacts& voice);
  // Grid, waveform (channel 1, then 2), mute line, markers.
  void DrawContents(KZoomWindow& window, const KVoiceFacts& voice);
  // The same shapes but the grid, in the background colour.
  void EraseContents(KZoomWindow& window, const KVoiceFacts& voice);

 private:
  KColour Colour(KColourSlot slot) const { return colours_.Get(slot); }
  int Resolution() const;
  void Contents(KZoomWindow& window, const KVoiceFacts& voice, bool erase);
  void Waveform(KZoomWindow& window, int ch, int32_t bitsPerSample, bool erase);
  void MuteLine(const KZoomWindow& window, bool erase);
  void Markers(const KZoomWindow& window, bool erase);
  void CursorLine(int x, bool erase);

  KCanvas& canvas_;
  const KZoomGeometry geo_;
  const KColourScheme& colours_;
  const KDisplayOptions& options_;
};

// Moves the zoom-in window 32 frames left (direction < 0) or right (see
// ShiftedZiStart): erases the zoom-in contents and the overview pointer,
// sets voice.ZiStart, refills the window, places the overview pointer and
// draws both again. Borders and labels stay. An empty voice, or a start
// that would not change, does nothing and gives false.
bool ShiftZoomWindow(int direction, KVoiceFacts& voice, KPcmMMap& store, KZoomWindow& window, KZoomInPainter& zoom,
                     KOverview& overview, KOverviewPainter& overviewPainter);
