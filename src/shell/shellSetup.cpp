#include "shell/shellSetup.h"

#include "imageio/pictureLibrary.h"

#include "core/runFolders.h"

#if __has_include("color/medianCut.h")
#include "color/medianCut.h"
#define VELLORA_HAS_MEDIAN_CUT 1
#endif

namespace vellora {

void setUpShell() {
    sweepAbandonedRunFolders();
#ifdef VELLORA_HAS_MEDIAN_CUT
    imageio::setTrueColorReducer([](const DibImage& trueColor, DibImage& indexed8) {
        return reduceTo256Colors(trueColor, indexed8);
    });
#endif
}

} // namespace vellora
