#include "core/history.h"

#include <algorithm>

namespace vellora {

void pushHistory(Session& session) {
    UndoHistory& h = session.history;
    h.historyDepth += 1;
    if (h.historyDepth % 100 == 0) {
        h.historyWraps += 1;
        h.historyDepth = 1;
    }
    h.historyPaths[h.historyDepth] = session.currentPath;
    h.heldSteps = std::min(h.heldSteps + 1, 99);
    session.currentPath = session.nextPath;
}

bool undo(Session& session) {
    UndoHistory& h = session.history;
    // Once 99 steps have been undone after a wrap, the slots left hold newer steps than the
    // picture shown: there is nothing older to go back to.
    if (h.historyDepth == 0 || h.heldSteps == 0) return false;
    h.heldSteps -= 1;
    session.currentPath = h.historyPaths[h.historyDepth];
    const bool wasFirstSlot = h.historyDepth == 1;
    h.historyDepth -= 1;
    if (wasFirstSlot && h.historyWraps != 0) {
        h.historyDepth = 99;
        h.historyWraps -= 1;
    }
    return true;
}

void clearHistory(Session& session) {
    session.history.historyDepth = 0;
    session.history.historyWraps = 0;
    session.history.heldSteps = 0;
}

} // namespace vellora
