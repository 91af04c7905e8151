#pragma once
// What a paint of the image view does to the session besides drawing: the picture's size and
// depth and the client size go into currentInfo, the picture is laid out, the scroll records
// follow, and the status text is refreshed.
#include "core/session.h"
#include "shell/viewLayout.h"

namespace vellora {

// The picture the paint loaded from currentPath.
struct LoadedPicture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// `picture` is null when nothing could be loaded (no current file, or an unreadable one): then
// nothing is laid out, and the scroll bars and status text keep to the last values.
void paintViewModel(Session& session, ViewScroll& scroll, const LoadedPicture* picture,
                    int clientWidth, int clientHeight);

} // namespace vellora
