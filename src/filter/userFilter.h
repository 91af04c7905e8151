#pragma once
// The user's own filter: the 5 x 5 grid of integer cells (or its centre 3 x 3) with an integer
// divisor k, through the convolution pass. The grid's top row is mask row 0, applied to the
// row stored before the centre row.
#include "core/parameterBlock.h"
#include "core/session.h"
#include "filter/filterMask.h"

#include <cstdint>

namespace vellora {

// n = 2 x sizeIndex + 3; coefficient (j, i) = cell (2 − half + j, 2 − half + i) of the grid
// (cell 5 x row + column), k = value. False, and the mask unchanged, for a size index other
// than 0 or 1.
bool makeUserMask(FilterMask& mask, const std::int32_t* cells, int sizeIndex, std::int32_t value);

// The whole command on the current intermediate file with the block's userFilterValue,
// userFilterSizeIndex and userFilterMask: read, filter into 24 bpp, write nextPath, release
// everything. 0, or 1 on failure.
int userFilterImage(Session& session, const ParameterBlock& settings);

// The command: the operation frame around userFilterImage with the working block.
int userFilterHandler(Session& session);

} // namespace vellora
