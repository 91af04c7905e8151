#include "tiling/tileGeometry.h"

#include "core/errors.h"

#include <limits>

namespace vellora {

namespace {

constexpr auto kSlitGrayTexts = std::to_array<std::string_view>(
    {"white", "light gray", "little gray", "medium gray", "deep gray", "black"});

constexpr std::string_view kSizingProblem = "tile count or size must be set plus numeral";
constexpr std::string_view kNoPitchProblem =
    "tile size and slit pixel size are both 0, so no tile can be laid out";
constexpr std::string_view kNegativeSlitProblem = "slit pixel size must not be negative";
constexpr std::string_view kGrayProblem = "slit gray choice must be 0 ~ 5";
constexpr std::string_view kMethodProblem = "tile sizing method must be 0 or 1";
constexpr std::string_view kTooLargeProblem = "tile size plus slit pixel size is too large";

// "around count": the pitch (⌊L / c⌋ + L) ÷ c is a little more than L ÷ c, so about c tiles
// fit with the last one cut; the slit comes out of the pitch.
std::int64_t tileSizeAround(std::int64_t length, std::int64_t count, std::int64_t slit) {
    const std::int64_t size = (length / count + length) / count - slit;
    return size < 1 ? 0 : size;
}

struct TileSizes {
    std::int64_t height;
    std::int64_t width;
};

TileSizes tileSizes(const ParameterBlock& p, std::int32_t width, std::int32_t height) {
    if (p.tilingSizeMethod == 0)
        return {tileSizeAround(height, p.tileCountHigh, p.slitPixelWidth),
                tileSizeAround(width, p.tileCountWide, p.slitPixelWidth)};
    return {p.tilePixelHeight, p.tilePixelWidth};
}

std::int64_t ceilDiv(std::int64_t value, std::int64_t divisor) {
    return (value + divisor - 1) / divisor;
}

std::array<std::uint8_t, 3> grayColor(std::uint32_t choice) {
    const std::uint8_t v = slitGrayValue(choice);
    return {v, v, v};
}

} // namespace

std::uint8_t slitGrayValue(std::uint32_t grayChoice) {
    return std::uint8_t((5 - grayChoice) * 51);
}

std::string_view slitGrayText(std::uint32_t grayChoice) {
    return grayChoice < kSlitGrayTexts.size() ? kSlitGrayTexts[grayChoice] : std::string_view{};
}

std::string_view tilingLayoutProblem(const ParameterBlock& p, std::int32_t width,
                                     std::int32_t height) {
    if (p.tilingSizeMethod > 1) return kMethodProblem;
    if (p.hSlitGrayIndex > 5 || p.vSlitGrayIndex > 5) return kGrayProblem;
    if (p.slitPixelWidth < 0) return kNegativeSlitProblem;
    const bool aroundCount = p.tilingSizeMethod == 0;
    if (aroundCount && (p.tileCountHigh < 1 || p.tileCountWide < 1)) return kSizingProblem;
    if (!aroundCount && (p.tilePixelHeight < 0 || p.tilePixelWidth < 0)) return kSizingProblem;
    const TileSizes sizes = tileSizes(p, width, height);
    const std::int64_t rowPitch = sizes.height + p.slitPixelWidth;
    const std::int64_t columnPitch = sizes.width + p.slitPixelWidth;
    if (rowPitch < 1 || columnPitch < 1) return kNoPitchProblem;
    constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
    if (rowPitch > kLargest || columnPitch > kLargest) return kTooLargeProblem;
    return {};
}

int checkTilingLayout(Frontend& frontend, const ParameterBlock& parameters, std::int32_t width,
                      std::int32_t height) {
    const std::string_view problem = tilingLayoutProblem(parameters, width, height);
    if (problem.empty()) return 0;
    frontend.showMessage("alert", problem);
    return kFailed;
}

TileGeometry computeTileGeometry(const ParameterBlock& p, std::int32_t width, std::int32_t height) {
    TileGeometry g;
    g.slitWidth = p.slitPixelWidth;
    g.horizontalSlitColor = grayColor(p.hSlitGrayIndex);
    g.verticalSlitColor = grayColor(p.vSlitGrayIndex);
    const TileSizes sizes = tileSizes(p, width, height);
    g.tileHeight = std::int32_t(sizes.height);
    g.tileWidth = std::int32_t(sizes.width);
    g.tileRows = std::int32_t(ceilDiv(height, g.rowPitch()));
    g.tileColumns = std::int32_t(ceilDiv(width, g.columnPitch()));
    g.bottomRemainder = height % g.rowPitch();
    return g;
}

} // namespace vellora
