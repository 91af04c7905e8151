#pragma once
// The layout of a tiling. The grid is anchored at the top-left corner as displayed; since rows
// are stored bottom-up, the bottom row of tiles starts at stored row 0 and is bottomRemainder
// rows high (0: the picture's bottom rows are a horizontal slit under a full row of tiles).
#include "core/frontend.h"
#include "core/parameterBlock.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace vellora {

struct TileGeometry {
    std::array<std::uint8_t, 3> horizontalSlitColor{}; // blue, green, red
    std::array<std::uint8_t, 3> verticalSlitColor{};
    std::int32_t slitWidth = 0;
    std::int32_t tileHeight = 0;
    std::int32_t tileWidth = 0;
    std::int32_t tileRows = 0;
    std::int32_t tileColumns = 0;
    std::int32_t bottomRemainder = 0;

    std::int32_t rowPitch() const { return tileHeight + slitWidth; }
    std::int32_t columnPitch() const { return tileWidth + slitWidth; }
    std::int64_t tileCount() const { return std::int64_t(tileRows) * tileColumns; }
};

// The gray level of slit gray choice 0 … 5 ("white" … "black"): (5 − choice) × 51.
std::uint8_t slitGrayValue(std::uint32_t grayChoice);
// The text of a slit gray choice as the dialog lists it.
std::string_view slitGrayText(std::uint32_t grayChoice);

// Why these tiling parameters cannot lay out a grid on a width × height picture, or an empty
// view when they can. Refused: a count below 1 for "around count", negative sizes or slit width,
// gray choices past "black", a pitch that overflows, and a pitch of 0 (tile size 0 with slit 0),
// which would never advance across the picture.
std::string_view tilingLayoutProblem(const ParameterBlock& parameters, std::int32_t width,
                                     std::int32_t height);

// Shows the layout problem (caption "alert") and returns 1, or returns 0 when there is none.
int checkTilingLayout(Frontend& frontend, const ParameterBlock& parameters, std::int32_t width,
                      std::int32_t height);

// The geometry for a width × height picture. The parameters must have passed
// tilingLayoutProblem.
TileGeometry computeTileGeometry(const ParameterBlock& parameters, std::int32_t width,
                                 std::int32_t height);

} // namespace vellora
