#include "core/operationFrame.h"

#include "core/errors.h"
#include "core/failureCause.h"
#include "core/history.h"
#include "core/intermediateFiles.h"
#include "core/progress.h"
#include "core/trueColor.h"

#include <array>

namespace vellora {

namespace {
constexpr auto kTraits = std::to_array<OperationTraits>({
    {Operation::Save, "failed to save a file", false, false},
    {Operation::RotateFlip, "failed to rotate or flip the image", false, false},
    {Operation::Crop, "failed to crop the image", true, false},
    {Operation::Resize, "failed to resize the image", true, true},
    {Operation::RotateArbitrary, "failed to rotate the image", true, false},
    {Operation::ColorProcessing, "failed to convert the image color", true, false},
    {Operation::GrayScale, "failed to gray scale the image", true, false},
    {Operation::BlackWhite, "failed to binary the image", true, false},
    {Operation::Invert, "failed to invert the image", true, false},
    {Operation::Posterization, "failed to posterization the image", true, false},
    {Operation::Histogram, "failed to modify the histogram of the image", true, false},
    {Operation::Smoothing, "failed to smoothing the image", true, false},
    {Operation::EdgePreserving, "failed to edge-preserving smoothing the image", true, false},
    {Operation::Sharpening, "failed to sharpening the image", true, false},
    {Operation::EdgeDetect, "failed to edge detect the image", true, false},
    {Operation::DeNoise, "failed to de noise the image", true, false},
    {Operation::UserFilter, "failed to filtering the image", true, false},
    {Operation::Tiling, "failed to tiling the image", true, true},
    {Operation::ExpressTable, "failed to get tiling table", true, false},
    {Operation::SaveCsv, "failed to save tiling table as csv file", true, false},
    {Operation::TrueColor, "failed to convert the image to 24 bpp", true, false},
});
} // namespace

const OperationTraits& operationTraits(Operation operation) {
    return kTraits[static_cast<std::size_t>(operation)];
}

int runOperationFrame(Session& session, Operation operation, const OperationBody& body) {
    const OperationTraits& traits = operationTraits(operation);
    Frontend& frontend = session.frontend;
    forgetFailureCause();
    if (traits.showsProgress) showProgressFromZero(session);
    const int result = body(session);
    // Whatever the body left behind is released here, on success and failure alike.
    session.sourceImage.release();
    session.targetImage.release();
    if (traits.showsProgress) frontend.setProgressVisible(false);
    if (result != 0) {
        showError(frontend, traits.failureText);
        return kFailed;
    }
    session.currentInfo.state = kStateZoom;
    session.dialogInfo.state = kStateZoom;
    if (traits.resetsZoom) {
        session.currentInfo.zoomIndex = kZoom100Index;
        session.dialogInfo.zoomIndex = kZoom100Index;
    }
    return 0;
}

int runOperationCommand(Session& session, Operation operation, const OperationBody& body) {
    // Without a fresh name the result would overwrite the current picture: the command stops.
    if (nextIntermediatePath(session, session.nextPath) != 0) return kFailed;
    if (runOperationFrame(session, operation, body) != 0) return kFailed;
    pushHistory(session);
    return 0;
}

int runCommandHandler(Session& session, Handler handler) {
    if (nextIntermediatePath(session, session.nextPath) != 0) return kFailed;
    if (handler(session) != 0) return kFailed;
    pushHistory(session);
    return 0;
}

int convertToTrueColor(Session& session) {
    return runOperationCommand(session, Operation::TrueColor, [](Session& s) {
        if (readBitmapFile(s.frontend, s.currentPath, s.sourceImage) != 0) return kFailed;
        return saveAsTrueColor(s, s.nextPath);
    });
}

} // namespace vellora
