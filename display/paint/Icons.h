// The four 25 x 12 images of the waveform boxes, built once from pixel art:
// the marker icons "MKL", "MKR" and "FLG" (dark red lettering above a small
// downward triangle whose tip is column 12 of the bottom row) and the
// position pointer (a house-shaped outline pointing up, apex at column 12 of
// the top row, black outline, white fill, a red "P").
#pragma once

#include <QImage>

#include "display/Canvas.h"

// The icon as an ARGB32 image of kIconWidth x kIconHeight; pixels outside the
// drawing are fully transparent, the others fully opaque.
const QImage& IconImage(KIcon icon);
