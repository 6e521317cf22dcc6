#pragma once
// Qt names a drop-down list by its current value on this desktop; a screen reader then reads
// "MP4" with nothing to say what it is. Installed once, drop-down lists take their own name (their
// label's) and give the value as their value and their text.

void InstallNamedComboBoxes();
