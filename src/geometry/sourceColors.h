#pragma once
// The source picture as rows of blue, green, red bytes, for passes that read many pixels per
// result pixel: a 24 bpp picture is read in place, any other depth is expanded once.
#include "core/dibImage.h"

#include <cstdint>
#include <vector>

namespace vellora {

class SourceColors {
  public:
    // Throws std::bad_alloc when the expanded copy does not fit.
    explicit SourceColors(const DibImage& source);
    const std::uint8_t* row(int y) const { return base_ + std::size_t(y) * stride_; }
    std::size_t stride() const { return stride_; }

  private:
    std::vector<std::uint8_t> expanded_;
    const std::uint8_t* base_ = nullptr;
    std::size_t stride_ = 0;
};

} // namespace vellora
