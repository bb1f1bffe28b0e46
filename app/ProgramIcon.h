// The program's icon, drawn rather than shipped: a waveform between two
// marker lines on a rounded tile.
#pragma once

#include <QImage>

// A square icon of `size` pixels with a transparent outside.
QImage DrawProgramIcon(int size);
