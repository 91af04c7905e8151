#pragma once
// One stored row of a target as paint values (an index byte per pixel for 1/4/8 bpp, three
// colour bytes for 24/32 bpp), so spans are painted with the depth dispatched once per row.
#include "core/dibImage.h"
#include "tiling/tileColor.h"

#include <cstdint>
#include <vector>

namespace vellora {

class RowPainter {
  public:
    // Allocates the row buffer; may throw std::bad_alloc, so make painters before going parallel.
    explicit RowPainter(DibImage& target);

    void load(int y);
    void store(int y);
    // Pixels x0 … x1 − 1 take the painted bytes `value`.
    void fill(int x0, int x1, const Bgr& value);

  private:
    DibImage& target_;
    int bytes_;
    std::vector<std::uint8_t> row_;
};

} // namespace vellora
