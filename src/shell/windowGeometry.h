#pragma once
// The main window's rectangle as the saved parameter block keeps it.
#include "core/parameterBlock.h"

#include <span>

namespace vellora {

inline constexpr int kDefaultWindowWidth = 640;
inline constexpr int kDefaultWindowHeight = 480;

// A zero width or height becomes 640 × 480; an edge that is also zero centres the window on the
// screen (recording the screen size). A non-zero width or height keeps its stored edges.
void applyWindowGeometryDefaults(ParameterBlock& saved, int screenWidth, int screenHeight);

// One screen's rectangle in desktop coordinates; the first one given is the primary screen.
struct ScreenArea {
    int left = 0, top = 0, width = 0, height = 0;
};

// How much of the window, each way, must lie on a screen for the user to take hold of it.
inline constexpr int kMinimumVisibleEdge = 48;

// The stored rectangle made usable on the screens there are, after the first-run defaults: a
// rectangle that is empty or shows less than kMinimumVisibleEdge × kMinimumVisibleEdge on every
// screen goes back to the first-run default on the primary screen; one larger than the screen it
// lies on most is cut to that screen's size and moved onto it in that direction. A damaged file
// can thus never open the window out of sight or larger than the screen. No screens: unchanged.
void fitWindowToScreens(ParameterBlock& saved, std::span<const ScreenArea> screens);

} // namespace vellora
