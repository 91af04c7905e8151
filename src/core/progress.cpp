#include "core/progress.h"

#include <cstdio>

namespace vellora {

void showProgressFromZero(Session& session) {
    updateStatusText(session, 0);
    session.frontend.setProgressVisible(true);
    session.frontend.setProgressPosition(0);
    session.progress.lastPosition = 0;
}

void progressBegin(Session& session, double units) {
    session.progress.progressStart = 0;
    session.progress.progressNow = 0;
    session.progress.progressEnd = units;
}

namespace {
void showPosition(Session& session) {
    ProgressState& p = session.progress;
    const double span = p.progressEnd - p.progressStart;
    const int position = span > 0 ? int((p.progressNow - p.progressStart) / span * 100) : 0;
    if (position == p.lastPosition) return; // the bar would not change
    p.lastPosition = position;
    session.frontend.setProgressPosition(position);
}
} // namespace

void progressAdvance(Session& session) {
    session.progress.progressNow += 1;
    showPosition(session);
}

void progressAdvanceBy(Session& session, int units) {
    for (int i = 0; i < units; ++i)
        session.progress.progressNow += 1;
    showPosition(session);
}

std::string statusText(const ImageInfo& info) {
    char text[128];
    std::snprintf(text, sizeof text, "    width x height : %d x %d, bits per pixel : %d",
                  info.width, info.height, info.bitsPerPixel);
    return text;
}

void updateStatusText(Session& session, int flag) {
    if (flag != 0 && session.currentInfo.layoutByte() != 0)
        session.frontend.setStatusText(statusText(session.currentInfo));
    else
        session.frontend.setStatusText("");
}

} // namespace vellora
