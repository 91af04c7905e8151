#pragma once
// Progress reporting and the status text, shared by every algorithm.
#include "core/session.h"

namespace vellora {

// Clears the status text and shows the bar at 0, the position later advances compare with.
void showProgressFromZero(Session& session);
// Starts counting `units` work units (rows, or rows times passes).
void progressBegin(Session& session, double units);
// One unit done: the bar shows the truncated percentage. Call from one thread only.
void progressAdvance(Session& session);
// Several units done at once, as if progressAdvance ran `units` times.
void progressAdvanceBy(Session& session, int units);

// With a non-zero flag and a picture laid out, "    width x height : %d x %d, bits per pixel : %d";
// otherwise the empty text.
void updateStatusText(Session& session, int flag);
std::string statusText(const ImageInfo& info);

} // namespace vellora
