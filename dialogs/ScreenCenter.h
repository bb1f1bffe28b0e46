// Where a dialog goes each time it opens: the top-left point that centres a
// window of a given size on the primary screen's available area.
#pragma once

struct KScreenArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct KScreenPoint {
  int x = 0;
  int y = 0;
};

// Centres width x height on the area. A window larger than the area starts
// at the area's edge, so that its title bar stays on the screen.
KScreenPoint KCentreOnArea(const KScreenArea& area, int width, int height);

// The same on the primary screen's available area; 0, 0 without a screen.
void KGetScreenCenterXY(int& x, int& y, int width, int height);
