#pragma once
// A fixed-size window larger than the screen's work area (a large font, a small screen) shrinks,
// its controls placed and sized in proportion, so that none is off screen; its texts keep their
// size and may be cut.

class QWidget;

// The factor applied (1 when the window fits).
double FitToWorkArea(QWidget* window);

// Moves a shown window that reaches past the work area back into it, as far as it fits.
void KeepInWorkArea(QWidget* window);
