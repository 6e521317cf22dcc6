#pragma once

class ProfileStore;

// The DivX codec keeps its own settings (organisation "DivXNetworks", application
// "DivX4Windows"). When its "Disable feedback" value exists, its first data byte is set to 1 so
// the codec does not pop up its feedback window during a conversion; a missing value is left
// alone and nothing is reported.
void DisableDivXFeedback(ProfileStore& divxStore);
// The same on the DivX codec's own store at the XDG configuration place.
void DisableDivXFeedback();
