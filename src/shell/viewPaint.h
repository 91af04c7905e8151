#pragma once
// What a paint of the image view does to the session besides drawing: the picture's size and
// depth and the client size go into currentInfo, the picture is laid out, the scroll records
// follow, and the status text is refreshed.
#include "core/session.h"
#include "shell/viewLayout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vellora {

// The picture the paint loaded from currentPath.
struct LoadedPicture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// A picture file as 0xAARRGGBB pixels, rows top-down as seen, with its size and depth; false
// when the picture library cannot load it.
bool loadViewPixels(const std::string& path, std::vector<std::uint32_t>& argb,
                    LoadedPicture& picture);

// `picture` is null when nothing could be loaded (no current file, or an unreadable one): then
// nothing is laid out, and the scroll bars and status text keep to the last values.
void paintViewModel(Session& session, ViewScroll& scroll, const LoadedPicture* picture,
                    int clientWidth, int clientHeight);

} // namespace vellora
