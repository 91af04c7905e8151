#include "shell/windowGeometry.h"

namespace vellora {

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

void storeWindowRect(ParameterBlock& saved, int left, int top, int width, int height) {
    saved.windowRect[0] = left;
    saved.windowRect[1] = top;
    saved.windowRect[2] = left + width;
    saved.windowRect[3] = top + height;
    saved.windowWidth = std::uint32_t(width);
    saved.windowHeight = std::uint32_t(height);
}

} // namespace vellora
