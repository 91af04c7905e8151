#pragma once
// The undo history: a ring of 99 slots (1 … 99) of earlier intermediate file paths.
#include "core/session.h"

namespace vellora {

// Records currentPath as an undo step and makes nextPath current.
void pushHistory(Session& session);
// Returns to the most recent step; false (and no change) when there is none. The caller repaints
// the view and updates the title.
bool undo(Session& session);
// Forgets every step (Open, Save, Close, exit). The files stay until exit.
void clearHistory(Session& session);

} // namespace vellora
