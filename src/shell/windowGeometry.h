#pragma once
// The main window's rectangle as the saved parameter block keeps it.
#include "core/parameterBlock.h"

namespace vellora {

inline constexpr int kDefaultWindowWidth = 640;
inline constexpr int kDefaultWindowHeight = 480;

// A zero width or height becomes 640 × 480; an edge that is also zero centres the window on the
// screen (recording the screen size). A non-zero width or height keeps its stored edges.
void applyWindowGeometryDefaults(ParameterBlock& saved, int screenWidth, int screenHeight);

// The outer rectangle of the window at exit: edges and width, height.
void storeWindowRect(ParameterBlock& saved, int left, int top, int width, int height);

} // namespace vellora
