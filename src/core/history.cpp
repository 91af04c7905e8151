#include "core/history.h"

namespace vellora {

void pushHistory(Session& session) {
    UndoHistory& h = session.history;
    h.historyDepth += 1;
    if (h.historyDepth % 100 == 0) {
        h.historyWraps += 1;
        h.historyDepth = 1;
    }
    h.historyPaths[h.historyDepth] = session.currentPath;
    session.currentPath = session.nextPath;
}

bool undo(Session& session) {
    UndoHistory& h = session.history;
    if (h.historyDepth == 0) return false;
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
}

} // namespace vellora
