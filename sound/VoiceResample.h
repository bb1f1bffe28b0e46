// "Translate the Sample-Rate of voice": a voice's samples resampled to
// another rate through libsoxr at its very-high-quality setting.
#pragma once

#include <cstdint>

#include "voice/PcmBank.h"

// Resamples `voice` from its rate to `rate` Hz: END becomes its length at
// the new rate and every marker (MKL, MKR, FLG, ZiStart) its position there,
// rounded and kept within the voice, under the undo snapshot "Undo :
// Translate the Sample-Rate" and the progress window. An empty voice only
// takes the rate. False, with the voice as it was, when the rate is its own,
// a step failed (after its message) or the user stopped it (Escape).
bool ResampleVoice(KPcmBank& voice, int32_t rate);
