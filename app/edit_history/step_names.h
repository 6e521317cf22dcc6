#pragma once
// The names of the steps, as string ids of the language table.

#include "app/edit_history/edit_step.h"

namespace step_names {
inline constexpr StepName AddPhotos(int count) { return {320, 321, count}; }
inline constexpr StepName AddMusic(int count) { return {322, 323, count}; }
inline constexpr StepName RemovePhotos(int count) { return {324, 325, count}; }
inline constexpr StepName RemoveMusic(int count) { return {326, 327, count}; }
inline constexpr StepName MovePhotos(int count) { return {328, 329, count}; }
inline constexpr StepName MoveMusic(int count) { return {330, 331, count}; }
inline constexpr StepName kClearPhotos{332};
inline constexpr StepName kClearMusic{333};
inline constexpr StepName kPhotoProperties{334};
inline constexpr StepName kFitToMusic{335};
inline constexpr StepName kTransitionSettings{336};
inline constexpr StepName kOptions{337};
inline constexpr StepName kLocateFiles{338};
inline constexpr StepName kAddTitle{339};
inline constexpr StepName kEditTitle{340};
inline constexpr StepName kCaptionStyle{341};
inline constexpr StepName kMusicProperties{342};
inline constexpr StepName kFitToBeat{343};
}  // namespace step_names
