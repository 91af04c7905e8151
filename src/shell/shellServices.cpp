#include "shell/shellServices.h"

#include "shell/commandTable.h"
#include "shell/parameterFile.h"
#include "shell/pictureExport.h"
#include "shell/pictureImport.h"
#include "shell/rotateFlip.h"

#include "geometry/crop.h"
#include "geometry/resize.h"
#include "shell/rotateCommand.h"
#include "color/blackWhite.h"
#include "color/colorConversion.h"
#include "color/grayScale.h"
#include "color/histogramModify.h"
#include "color/invert.h"
#include "color/posterize.h"
#include "filter/deNoise.h"
#include "filter/edgeDetect.h"
#include "filter/edgePreserving.h"
#include "filter/sharpen.h"
#include "filter/smooth.h"
#include "filter/userFilter.h"
#include "tiling/expressTable.h"
#include "tiling/runTiling.h"
#include "tiling/saveTableCsv.h"

namespace vellora {

namespace {

struct HandlerRow {
    int commandId;
    Handler handler;
};

constexpr HandlerRow kHandlers[] = {
    {kCmdCrop, cropHandler},
    {kCmdResize, resizeHandler},
    {kCmdRotateArbitrary, rotateArbitraryHandler},
    {kCmdColorProcessing, colorConversionHandler},
    {kCmdGrayScale, grayScaleHandler},
    {kCmdBlackWhite, blackWhiteHandler},
    {kCmdInvert, invertHandler},
    {kCmdPosterization, posterizeHandler},
    {kCmdHistogram, histogramHandler},
    {kCmdSmoothing, smoothHandler},
    {kCmdEdgePreserving, edgePreservingHandler},
    {kCmdSharpening, sharpenHandler},
    {kCmdEdgeDetect, edgeDetectHandler},
    {kCmdDeNoise, deNoiseHandler},
    {kCmdUserFilter, userFilterHandler},
    {kCmdTiling, tilingHandler},
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
    services.buildTableText = expressTilingTable;
    services.saveTableCsv = [](Session& session) {
        return saveTilingTableCsv(session, session.saveAsPath);
    };
    for (const HandlerRow& row : kHandlers)
        services.setHandler(row.commandId, row.handler);
    return services;
}

} // namespace vellora
