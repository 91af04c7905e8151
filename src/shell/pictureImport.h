#pragma once
// Opening a picture file: the probe of its depth and its conversion into the first
// intermediate file, shared by the desktop program and the command line.
#include "core/imageInfo.h"
#include "core/session.h"

#include <functional>
#include <string>
#include <string_view>

namespace vellora {

// Whether an intermediate file can have this depth: 1, 4, 8, 24 or 32; a picture reported at
// another keeps the depth recorded before.
bool isRecognisedDepth(int bitsPerPixel);

// Records in info.bitsPerPixel the depth the picture opens as (1, 4, 8, 24 or 32); a file the
// library cannot read leaves it as it was and still counts as probed. Returns 1 only for a
// path that cannot be handed to the library (empty, or longer than 259 characters).
int probePicture(ImageInfo& info, const std::string& path);

struct OpenOutcome {
    int result = 1;                   // 0 when the picture was opened
    bool intermediateWritten = false; // whether its first intermediate file exists
    std::string reason; // why the conversion failed; empty when it ran or the path was refused
};

// What the caller shows (through showError) when the conversion failed; the cause, 'cannot
// load "path": ' and the library's reason, is waiting to go on its second line.
inline constexpr std::string_view kOpenConversionFailedText =
    "failed to handle an intermediate file";

// The steps of Open after its dialog: probe (a refused path stops with "failed to open the
// image file not supported" and nothing changed), the fit state 258 and saveAsPath, a fresh
// currentPath, the conversion, the zoom state 514 and an empty history. `repaint` runs right
// after a successful conversion, where the view fits the new picture. A picture the library
// cannot convert leaves the session as it was (the earlier picture stays the current one) and
// shows nothing: the caller reports "failed to handle an intermediate file" and the cause.
OpenOutcome openPicture(Session& session, const std::string& path,
                        const std::function<void(Session&)>& repaint = {});

// What the view's paint would learn from the picture library: the current file's size and
// depth into currentInfo (left as they were when the file cannot be probed).
void refreshPictureInfo(Session& session);

} // namespace vellora
