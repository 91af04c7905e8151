#include "shell/shellServices.h"

#include "shell/commandTable.h"
#include "shell/parameterFile.h"
#include "shell/pictureExport.h"
#include "shell/pictureImport.h"
#include "shell/rotateFlip.h"

// Operation modules are wired where this build has them.
#if __has_include("geometry/crop.h")
#include "geometry/crop.h"
#include "geometry/resize.h"
#include "geometry/rotateCommand.h"
#define VELLORA_HAS_GEOMETRY 1
#endif
#if __has_include("color/grayScale.h")
#include "color/blackWhite.h"
#include "color/colorConversion.h"
#include "color/grayScale.h"
#include "color/histogramModify.h"
#include "color/invert.h"
#include "color/posterize.h"
#define VELLORA_HAS_COLOR 1
#endif
#if __has_include("filter/smooth.h")
#include "filter/edgeDetect.h"
#include "filter/edgePreserving.h"
#include "filter/sharpen.h"
#include "filter/smooth.h"
#define VELLORA_HAS_FILTER 1
#endif
#if __has_include("tiling/expressTable.h")
#include "tiling/expressTable.h"
#include "tiling/saveTableCsv.h"
#define VELLORA_HAS_TILING_TABLE 1
#endif

namespace vellora {

namespace {

struct HandlerRow {
    int commandId;
    Handler handler;
};

constexpr HandlerRow kHandlers[] = {
#ifdef VELLORA_HAS_GEOMETRY
    {kCmdCrop, cropHandler},
    {kCmdResize, resizeHandler},
    {kCmdRotateArbitrary, rotateArbitraryHandler},
#endif
#ifdef VELLORA_HAS_COLOR
    {kCmdColorProcessing, colorConversionHandler},
    {kCmdGrayScale, grayScaleHandler},
    {kCmdBlackWhite, blackWhiteHandler},
    {kCmdInvert, invertHandler},
    {kCmdPosterization, posterizeHandler},
    {kCmdHistogram, histogramHandler},
#endif
#ifdef VELLORA_HAS_FILTER
    {kCmdSmoothing, smoothHandler},
    {kCmdEdgePreserving, edgePreservingHandler},
    {kCmdSharpening, sharpenHandler},
    {kCmdEdgeDetect, edgeDetectHandler},
#endif
    {0, nullptr},
};

int openWithRepaint(Session& session, const std::string& path,
                    const ShellServices::Repaint& repaint) {
    return openPicture(session, path, repaint).result;
}

} // namespace

ShellServices defaultShellServices() {
    ShellServices services;
    services.openPicture = openWithRepaint;
    services.savePicture = savePictureHandler;
    services.savePictureAs = savePictureAsHandler;
    services.rotateFlipPicture = rotateFlipPicture;
    services.mergeSavedDefaults = [](Session& session) {
        mergeSavedDefaults(session.savedBlock, session.workingBlock);
    };
#ifdef VELLORA_HAS_TILING_TABLE
    services.buildTableText = expressTilingTable;
    services.saveTableCsv = [](Session& session) {
        return saveTilingTableCsv(session, session.saveAsPath);
    };
#endif
    for (const HandlerRow& row : kHandlers)
        if (row.handler != nullptr) services.setHandler(row.commandId, row.handler);
    return services;
}

} // namespace vellora
