#include "cli/stepTable.h"

#include "color/blackWhite.h"
#include "color/grayScale.h"
#include "color/histogramModify.h"
#include "color/invert.h"
#include "color/posterize.h"
#include "core/trueColor.h"
#include "filter/deNoise.h"
#include "filter/edgeDetect.h"
#include "filter/edgePreserving.h"
#include "filter/sharpen.h"
#include "filter/smooth.h"
#include "filter/userFilter.h"
#include "geometry/crop.h"
#include "geometry/resize.h"
#include "shell/rotateCommand.h"
#include "shell/rotateFlip.h"
#include "tiling/runTiling.h"

#include <array>

namespace vellora::cli {

namespace {
// convertToTrueColor carries its own undo step; the table's handlers leave that to the caller.
int trueColorHandler(Session& session) {
    return runOperationFrame(session, Operation::TrueColor, [](Session& s) {
        if (readBitmapFile(s.frontend, s.currentPath, s.sourceImage) != 0) return 1;
        return saveAsTrueColor(s, s.nextPath);
    });
}

// One row per step; steps of other modules join as their handlers land.
constexpr auto kSteps = std::to_array<CliStep>({
    {"crop", cropHandler, "keep the rectangle cropRect (left, bottom, right, top; 0-based)"},
    {"resize", resizeHandler,
     "resize to resizeWidth x resizeHeight (resizeInterpolate, resizeDepthIndex)"},
    {"rotate-right", rotateRight90Handler, "turn the picture 90 degrees clockwise"},
    {"rotate-180", rotate180Handler, "turn the picture 180 degrees"},
    {"rotate-left", rotateLeft90Handler, "turn the picture 90 degrees counter-clockwise"},
    {"flip-horizontal", flipHorizontalHandler, "mirror the picture left to right"},
    {"flip-vertical", flipVerticalHandler, "mirror the picture top to bottom"},
    {"rotate", rotateArbitraryHandler,
     "turn clockwise by rotateAngle degrees (rotateBicubic, rotateDepthIndex, rotateBlankIndex)"},
    {"truecolor", trueColorHandler, "convert the picture to 24 bits per pixel"},
    {"gray", grayScaleHandler, "gray scale of 2^(grayLevelIndex + 1) levels (grayDiffusion)"},
    {"bw", blackWhiteHandler,
     "black and white by bwMedianCut or bwThreshold (bwDiffusion, bwStretch bwOutset ~ bwEndset)"},
    {"invert", invertHandler, "complement colours (invertDepthIndex: 0 source, 1 24, 2 32 bpp)"},
    {"posterize", posterizeHandler,
     "levels per channel (posterCommon with posterLevelRGB, or posterLevelRed/Green/Blue)"},
    {"histogram", histogramHandler, "stretch each histEnabled channel onto histOutset ~ histEndset"},
    {"smooth", smoothHandler, "smooth with the mask smoothingIndex names"},
    {"edge-preserving", edgePreservingHandler,
     "smooth within the most uniform sub-window (edgePreservingIndex criterion)"},
    {"sharpen", sharpenHandler, "sharpen with the mask sharpeningIndex names"},
    {"edge-detect", edgeDetectHandler, "edge picture (edgeDetectMode, edgeDetectChoice)"},
    {"denoise", deNoiseHandler, "median by luminance over the deNoiseIndex window"},
    {"user-filter", userFilterHandler,
     "userFilterMask cells with divisor userFilterValue (userFilterSizeIndex)"},
    {"tiling", tilingHandler,
     "tile the picture: palette, tile size or count and slits from the tiling fields"},
});
} // namespace

std::span<const CliStep> cliSteps() { return kSteps; }

const CliStep* findCliStep(std::string_view name) {
    for (const CliStep& step : kSteps)
        if (step.name == name) return &step;
    return nullptr;
}

} // namespace vellora::cli
