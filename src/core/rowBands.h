#pragma once
// Row loops spread over the worker threads while the progress bar still steps once per row as
// far as the user can see: every worker takes one contiguous band, works through it in slices
// of at most one percent of the rows, and the bar advances by the rows done so far, at most a
// slice at a time.
#include "core/session.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace vellora {

// The number of bands a pass over `rows` rows uses; scratch buffers are allocated for this
// many workers before the pass starts (a worker thread must never allocate).
int rowWorkerCount(int rows);

// The scratch of a pass: `rowsEach` rows of `rowBytes` bytes for every worker, in one block, no
// two rows sharing a byte.
class WorkerRows {
  public:
    // False, with nothing held, when the block cannot be had.
    bool allocate(int workers, std::size_t rowBytes, int rowsEach = 1);
    // Row k (0 … rowsEach − 1) of `worker`.
    std::uint8_t* row(int worker, int k = 0);

  private:
    std::size_t rowBytes_ = 0, rowsEach_ = 0;
    std::vector<std::uint8_t> bytes_;
};

// body(worker, begin, end) handles rows [begin, end) with the scratch of `worker`
// (0 … workers − 1). Every row is computed the same way whatever band it falls in.
using RowBandBody = std::function<void(int worker, int begin, int end)>;

// Runs body over [0, rows) in `workers` contiguous bands, without progress.
void forRowBands(int rows, int workers, const RowBandBody& body);

// Runs body over [0, rows) with `workers` bands (each called slice by slice), calling
// progressAdvanceBy on the calling thread only. The caller has called progressBegin.
void forRowsWithProgress(Session& session, int rows, int workers, const RowBandBody& body);

} // namespace vellora
