#pragma once
// The frame every editing operation runs in: status text cleared, progress shown, the
// operation from the current intermediate file to nextPath, progress hidden, and on success
// the picture state "zoom" (514); on failure the operation's failure text.
#include "core/session.h"

#include <functional>
#include <string_view>

namespace vellora {

enum class Operation {
    Save,
    RotateFlip,
    Crop,
    Resize,
    RotateArbitrary,
    ColorProcessing,
    GrayScale,
    BlackWhite,
    Invert,
    Posterization,
    Histogram,
    Smoothing,
    EdgePreserving,
    Sharpening,
    EdgeDetect,
    DeNoise,
    UserFilter,
    Tiling,
    ExpressTable,
    SaveCsv,
    TrueColor,
};

struct OperationTraits {
    Operation operation;
    std::string_view failureText;
    bool showsProgress; // saves, quarter turns and flips show neither bar nor status
    bool resetsZoom;    // Resize and Tiling return to 100 %
};

const OperationTraits& operationTraits(Operation operation);

// The work of one operation: reads session.currentPath, writes session.nextPath; 0 on success.
using OperationBody = std::function<int(Session&)>;

// Runs the handler steps around `body` and returns 0 or 1. The caller has already set nextPath.
int runOperationFrame(Session& session, Operation operation, const OperationBody& body);

// The whole command without its dialog: a fresh nextPath, the frame, and on success the undo
// step (currentPath becomes the result). Returns 0 or 1.
int runOperationCommand(Session& session, Operation operation, const OperationBody& body);

// A command's handler: the frame around its operation, parameters from the working block.
using Handler = int (*)(Session&);

// What the dispatcher does around a handler: a fresh nextPath, the handler, and on success the
// undo step. Returns the handler's 0 or 1; 1 without running the handler when no fresh name
// could be had (its message shown), since the old nextPath is the current picture.
int runCommandHandler(Session& session, Handler handler);

// The first operation of the frame: the current picture as 24 bpp.
int convertToTrueColor(Session& session);

} // namespace vellora
