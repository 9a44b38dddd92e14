// Stand-in: there is no overlay surface yet, so there is nothing to draw.
#include "display/overlay_win.h"

void DrawOverlay() {}
