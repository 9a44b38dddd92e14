// Overlay text laid over the display.
#pragma once

void DrawOverlay();
