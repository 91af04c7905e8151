#pragma once
// Row loops of the colour engine spread over the worker threads. Each band gets a worker number
// so that it can use scratch the caller allocated beforehand (a worker must never allocate).
// Every row is computed the same way whatever band it falls in, so results never depend on the
// thread count.
#include "core/session.h"

#include <functional>

namespace vellora {

// How many bands a loop over `rows` rows uses: the scratch to allocate before it starts.
int colorRowWorkers(int rows);

using ColorRowBody = std::function<void(int worker, int begin, int end)>;

// body over [0, rows) in at most `workers` bands.
void runColorRows(int rows, int workers, const ColorRowBody& body);

// The same in slices, each slice the rows that leave the truncated percentage unchanged, with
// progressAdvanceBy after every slice: the bar shows exactly what one step per row shows. The
// caller has called progressBegin with `rows` units.
void runColorRowsWithProgress(Session& session, int rows, int workers, const ColorRowBody& body);

} // namespace vellora
