#include "shell/windowGeometry.h"

#include <algorithm>
#include <cstdint>

namespace vellora {

namespace {
// Edges in 64 bits: a damaged file may hold any 32-bit values, whose differences overflow.
struct Span {
    std::int64_t begin, end;
    std::int64_t length() const { return end - begin; }
};

std::int64_t overlap(Span a, Span b) {
    return std::max<std::int64_t>(0, std::min(a.end, b.end) - std::max(a.begin, b.begin));
}

struct Placement {
    Span across, down;
};

Placement storedPlacement(const ParameterBlock& saved) {
    const std::int32_t* rect = saved.windowRect;
    return {{rect[0], rect[2]}, {rect[1], rect[3]}};
}

Placement screenPlacement(const ScreenArea& screen) {
    return {{screen.left, std::int64_t(screen.left) + screen.width},
            {screen.top, std::int64_t(screen.top) + screen.height}};
}

// The screen showing most of the window, or null when none shows enough of it.
const ScreenArea* holdingScreen(const Placement& window, std::span<const ScreenArea> screens) {
    const ScreenArea* best = nullptr;
    std::int64_t bestArea = 0;
    for (const ScreenArea& screen : screens) {
        const Placement on = screenPlacement(screen);
        const std::int64_t across = overlap(window.across, on.across);
        const std::int64_t down = overlap(window.down, on.down);
        const bool enough =
            across >= std::min<std::int64_t>(kMinimumVisibleEdge, window.across.length()) &&
            down >= std::min<std::int64_t>(kMinimumVisibleEdge, window.down.length());
        if (enough && across * down > bestArea) {
            best = &screen;
            bestArea = across * down;
        }
    }
    return best;
}

// A span longer than the screen's becomes the screen's own.
Span cutToScreen(Span window, Span screen) {
    return window.length() > screen.length() ? screen : window;
}

void storePlacement(ParameterBlock& saved, const Placement& placement) {
    saved.windowRect[0] = std::int32_t(placement.across.begin);
    saved.windowRect[1] = std::int32_t(placement.down.begin);
    saved.windowRect[2] = std::int32_t(placement.across.end);
    saved.windowRect[3] = std::int32_t(placement.down.end);
    saved.windowWidth = std::uint32_t(placement.across.length());
    saved.windowHeight = std::uint32_t(placement.down.length());
}

void resetToFirstRun(ParameterBlock& saved, const ScreenArea& primary) {
    std::fill(std::begin(saved.windowRect), std::end(saved.windowRect), 0);
    saved.windowWidth = 0;
    saved.windowHeight = 0;
    applyWindowGeometryDefaults(saved, primary.width, primary.height);
}
} // namespace

void applyWindowGeometryDefaults(ParameterBlock& saved, int screenWidth, int screenHeight) {
    std::int32_t* rect = saved.windowRect; // left, top, right, bottom
    if (saved.windowWidth == 0) {
        saved.windowWidth = kDefaultWindowWidth;
        if (rect[0] == 0) {
            saved.screenWidth = std::uint32_t(screenWidth);
            rect[0] = (screenWidth - kDefaultWindowWidth) / 2;
        }
        rect[2] = rect[0] + kDefaultWindowWidth;
    }
    if (saved.windowHeight == 0) {
        saved.windowHeight = kDefaultWindowHeight;
        if (rect[1] == 0) {
            saved.screenHeight = std::uint32_t(screenHeight);
            rect[1] = (screenHeight - kDefaultWindowHeight) / 2;
        }
        rect[3] = rect[1] + kDefaultWindowHeight;
    }
}

void fitWindowToScreens(ParameterBlock& saved, std::span<const ScreenArea> screens) {
    if (screens.empty()) return;
    Placement window = storedPlacement(saved);
    const ScreenArea* screen = holdingScreen(window, screens); // none for an empty window
    if (screen == nullptr) {
        resetToFirstRun(saved, screens.front());
        window = storedPlacement(saved);
        screen = &screens.front();
    }
    const Placement on = screenPlacement(*screen);
    const Placement cut{cutToScreen(window.across, on.across), cutToScreen(window.down, on.down)};
    if (cut.across.length() != window.across.length() || cut.down.length() != window.down.length())
        storePlacement(saved, cut);
}

} // namespace vellora
