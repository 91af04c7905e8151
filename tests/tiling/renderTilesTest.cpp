#include "tiling/renderTiles.h"
#include "tiling/drawSlits.h"
#include "tilingTestSupport.h"

#include <cstdlib>

namespace vellora {
namespace {

using test::makeImage;
using test::rgbAt;
using test::tileSizeBlock;

DibImage renderTrueColor(const DibImage& source, const ParameterBlock& block) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target = makeImage(source.width, source.height, 24);
    const TileGeometry g = computeTileGeometry(block, source.width, source.height);
    EXPECT_EQ(renderTiles(session, target, source, g, TileColorMapping{}), 0);
    EXPECT_TRUE(frontend.messages.empty());
    // The bar ends full, also with no tile size, where some rows of tiles have no band.
    EXPECT_EQ(frontend.progressPositions.back(), 100);
    return target;
}

// Tiles 2 × 2, no slit, on 5 × 3 (blue values below, stored row 0 first): the bottom row of
// tiles is one row high but averages stored rows 0 and 1; the last column is one pixel wide.
// (1+2+5+6)/4 = 3.5, (3+4+7+8)/4 = 5.5, (20+21)/2 = 20.5; (5+6+9+10)/4 = 7.5,
// (7+8+11+13)/4 = 9.75, (21+30)/2 = 25.5, each truncated.
TEST(RenderTiles, TruncatedAveragesWithoutConversion) {
    constexpr int kBlue[3][5] = {{1, 2, 3, 4, 20}, {5, 6, 7, 8, 21}, {9, 10, 11, 13, 30}};
    const DibImage source =
        test::makeTrueColorImage(5, 3, [&](int x, int y) { return std::uint32_t(kBlue[y][x]); });
    const DibImage target = renderTrueColor(source, tileSizeBlock(2, 2, 0));
    const int expected[3][5] = {{3, 3, 5, 5, 20}, {7, 7, 9, 9, 25}, {7, 7, 9, 9, 25}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(rgbAt(target, x, y), std::uint32_t(expected[y][x])) << x << "," << y;
    TileGeometry empty = computeTileGeometry(tileSizeBlock(2, 2, 0), 5, 3);
    empty.tileWidth = 0;
    EXPECT_EQ(averageTileColor(source, empty, 0, 0), (Bgr{0, 0, 0}));
}

// White horizontal slits, black vertical ones, the vertical over the horizontal at crossings.
TEST(RenderTiles, SlitsInTheirGrayAndCrossingsVertical) {
    const DibImage source = test::makeTrueColorImage(34, 35, [](int, int) { return 0x1E140Au; });
    const DibImage target = renderTrueColor(source, tileSizeBlock(10, 10, 2, 0, 5));
    const struct {
        int x, y;
        std::uint32_t rgb;
    } probes[] = {
        {0, 0, 0x1E140A},   {9, 10, 0x1E140A},  {0, 11, 0xFFFFFF},  {33, 12, 0xFFFFFF},
        {10, 0, 0x000000},  {23, 34, 0x000000}, {10, 11, 0x000000}, {23, 24, 0x000000},
        {24, 25, 0x1E140A}, {33, 34, 0x1E140A}, {12, 13, 0x1E140A}, {21, 22, 0x1E140A},
    };
    for (const auto& p : probes)
        EXPECT_EQ(rgbAt(target, p.x, p.y), p.rgb) << p.x << "," << p.y;
    // No tile size: nothing but slits, the vertical ones everywhere.
    const DibImage slits = renderTrueColor(source, tileSizeBlock(0, 0, 2, 1, 4));
    for (int y = 0; y < 35; ++y)
        for (int x = 0; x < 34; ++x)
            ASSERT_EQ(rgbAt(slits, x, y), 0x333333u) << x << "," << y;
}

// The band sums and the one-tile reference are two routes to the same averages.
TEST(RenderTiles, BandAveragesEqualSingleTileAverages) {
    for (int bpp : {1, 4, 8, 24}) {
        const DibImage source = test::randomPicture(37, 35, bpp, unsigned(bpp));
        for (int slit : {0, 2}) {
            const TileGeometry g = computeTileGeometry(tileSizeBlock(5, 7, slit), 37, 35);
            std::vector<std::uint8_t> row;
            std::vector<std::uint64_t> sums;
            std::vector<Bgr> colors;
            for (const TileBand& band : tileBands(g, 35)) {
                averageBandColors(source, g, band, row, sums, colors);
                for (int c = 0; c < g.tileColumns; ++c)
                    EXPECT_EQ(colors[std::size_t(c)],
                              averageTileColor(source, g, band.blockY, tileColumnX(g, c)))
                        << bpp << " bpp, band " << band.blockY << ", column " << c;
            }
        }
    }
}

// Tiles of width 9 with slit 2 start at columns 0, 11, 22, …: every other start is odd, so
// tiles begin in the low nibble of a 4-bit byte. The target is filled with index 15 first, as
// a median-cut step leaves indices in every pixel.
TEST(RenderTiles, FourBitTilesAtOddColumnsCarryTheirIndex) {
    const DibImage source = test::randomPicture(60, 25, 24, 7u);
    test::RecordingFrontend frontend;
    Session session(frontend);
    DibImage target = makeImage(60, 25, 4, 16);
    for (int y = 0; y < 25; ++y)
        std::fill(target.row(y), target.row(y) + target.stride, 0xFF);
    const TileGeometry g = computeTileGeometry(tileSizeBlock(9, 9, 2, 0, 3), 60, 25);
    const TileColorMapping mapping = test::blueStepMapping(17); // 0 … 15
    ASSERT_EQ(renderTiles(session, target, source, g, mapping), 0);
    EXPECT_EQ(test::paintedTiles(target, g), test::mappedAverages(source, g, mapping));
    const std::uint8_t hIndex = mapping.paletteIndex(g.horizontalSlitColor);
    const std::uint8_t vIndex = mapping.paletteIndex(g.verticalSlitColor);
    const auto indexAt = [&](int x, int y) {
        std::uint8_t index = 99;
        getIndex(target, index, y, x, 4);
        return index;
    };
    for (int y = 0; y < 25; ++y)
        EXPECT_TRUE(indexAt(9, y) == vIndex && indexAt(21, y) == vIndex) << y;
    for (const SlitSpan& s : horizontalSlits(g, 25))
        for (int y = s.begin; y < s.end; ++y)
            EXPECT_TRUE(indexAt(0, y) == hIndex && indexAt(12, y) == hIndex) << y;
}

TEST(RenderTiles, ResultDoesNotDependOnThreadCount) {
    const DibImage source = test::randomPicture(101, 333, 24, 11u);
    const TileGeometry g = computeTileGeometry(tileSizeBlock(4, 3, 1), 101, 333);
    const auto render = [&](const char* threads) {
        setenv("VELLORA_THREADS", threads, 1);
        test::RecordingFrontend frontend;
        Session session(frontend);
        DibImage target = makeImage(101, 333, 8, 16);
        EXPECT_EQ(renderTiles(session, target, source, g, test::blueStepMapping(16)), 0);
        unsetenv("VELLORA_THREADS");
        return target.data;
    };
    EXPECT_EQ(render("1"), render("3"));
}

TEST(DrawSlits, NothingWithoutSlitAndThirtyTwoBitKeepsTheFourthByte) {
    test::RecordingFrontend frontend;
    DibImage target = makeImage(4, 4, 32);
    for (int y = 0; y < 4; ++y)
        std::fill(target.row(y), target.row(y) + target.stride, 0x77);
    const PictureBytes before = target.data;
    ASSERT_EQ(drawSlits(frontend, target, computeTileGeometry(tileSizeBlock(3, 3, 0), 4, 4), {}),
              0);
    EXPECT_EQ(target.data, before);
    ASSERT_EQ(
        drawSlits(frontend, target, computeTileGeometry(tileSizeBlock(1, 1, 1, 0, 5), 4, 4), {}),
        0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(target.row(y)[4 * x + 3], 0x77);
    EXPECT_EQ(rgbAt(target, 1, 0), 0x000000u); // vertical over horizontal at the crossing
    EXPECT_EQ(rgbAt(target, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(rgbAt(target, 0, 1), 0x777777u);
}

} // namespace
} // namespace vellora
