#pragma once
// Results the window only shows (a conversion's end, the show's length, why a compressor does not
// fit) reach a screen reader at once: an alert carrying the control's text is shown, out of sight,
// in the control's window, which readers speak whatever has the focus.

class QWidget;

void Announce(QWidget* shown);
