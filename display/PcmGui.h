// KPcmGui: the display layer of the voice object. Each voice owns its
// overview envelope and zoom-in window; only the voice of the current bank
// draws, into the run's shared display (KDisplay). The hooks of the lower
// layers land here: messages go to the view, play and record progress to
// the pointer and the record bar.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "display/Display.h"
#include "display/Overview.h"
#include "display/PointerClicks.h"
#include "display/Readouts.h"
#include "display/ZoomWindow.h"
#include "voice/PcmFiles.h"

class KPcmGui : public KPcmFiles {
 public:
  KPcmGui(KBankSet& set, int32_t bankNumber, KDisplay& display);

  bool ShowPlayPosition(int32_t position) override;
  bool ShowRecordProgress(int32_t percent) override;
  bool ShowNotice(const std::string& text) override;
  bool ShowMessageText(const std::string& text) override;
  bool ShowMessageId(int id) override;
  // Recomputes the envelope when stale, refills the zoom-in window and
  // redraws everything; only for the current bank.
  bool Refresh() override;
  bool SelectBank() override;
  // Both boxes from the stored state, then every readout; only for the
  // current bank.
  virtual bool RedrawAll();

  // A box's paint request: a full redraw from the stored state, never from
  // the samples. The overview's pointer stays where it stands, so that a
  // paint during a play shows the play position.
  void PaintZoomIn();
  void PaintOverview();
  // The sample position under a press in the zoom-in box (the window runs
  // the marker command of the button with it); none outside the interior.
  std::optional<int32_t> ZoomInPositionAt(int x, int y) const;
  // A press in the overview: the left button moves the zoom-in window there,
  // then the window is refilled and both boxes redrawn.
  bool OverviewClick(KPointerButton button, int x, int y);
  // The waveform shifter: 32 frames left (direction < 0) or right.
  bool ShiftWaveform(int direction);
  // The rate readout after the rate changed, and the alias panel after an
  // alias edit; nothing else is redrawn.
  void ShowRate();
  void ShowAlias();

  bool IsCurrent() const;
  KVoiceFacts Facts() const { return {Channels, BitsPerSample, END, MKL, MKR, FLG, ZiStart}; }

  KOverview Overview;
  KZoomWindow Zoom;

 protected:
  KDisplay& Display;

 private:
  // The overview's pointer at ZiStart, after a change of the voice or its view.
  void PlaceOverviewPointer();
  // The voice's readout values; `undoLabel` holds the Undo caption they refer to.
  KReadoutValues Readouts(std::string& undoLabel) const;
};
