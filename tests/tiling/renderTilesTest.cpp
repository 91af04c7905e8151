#include "tiling/renderTiles.h"
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
    // The bar ends full, also with no tile size, where some rows of tiles have no band.
    EXPECT_EQ(frontend.progressPositions.back(), 100);
    return target;
}

// Tiles 2 × 2, no slit, on 5 × 3 (blue below, stored row 0 first): the bottom tile row is one row
// high but averages stored rows 0 and 1; the last column is 1 pixel wide. (1+2+5+6)/4 = 3.5,
// (3+4+7+8)/4 = 5.5, (20+21)/2 = 20.5; (5+6+9+10)/4 = 7.5, (7+8+11+13)/4 = 9.75, (21+30)/2 = 25.5,
// truncated. 1-pixel tiles, no slit, copy the picture; no tile size: all slit, vertical everywhere.
TEST(RenderTiles, TruncatedAveragesWithoutConversion) {
    constexpr int kBlue[3][5] = {{1, 2, 3, 4, 20}, {5, 6, 7, 8, 21}, {9, 10, 11, 13, 30}};
    const DibImage source =
        test::makeTrueColorImage(5, 3, [&](int x, int y) { return std::uint32_t(kBlue[y][x]); });
    const DibImage target = renderTrueColor(source, tileSizeBlock(2, 2, 0));
    const DibImage copied = renderTrueColor(source, tileSizeBlock(1, 1, 0));
    const DibImage slits = renderTrueColor(source, tileSizeBlock(0, 0, 2, 1, 4));
    const int expected[3][5] = {{3, 3, 5, 5, 20}, {7, 7, 9, 9, 25}, {7, 7, 9, 9, 25}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(rgbAt(target, x, y), std::uint32_t(expected[y][x])) << x << "," << y;
            EXPECT_EQ(rgbAt(copied, x, y), std::uint32_t(kBlue[y][x])) << x << "," << y;
            EXPECT_EQ(rgbAt(slits, x, y), 0x333333u) << x << "," << y;
        }
    // Tiles of no width average nothing: black, one tile or a band of them.
    TileGeometry empty = computeTileGeometry(tileSizeBlock(2, 2, 0), 5, 3);
    empty.tileWidth = 0;
    EXPECT_EQ(averageTileColor(source, empty, 0, 0), (Bgr{0, 0, 0}));
    std::vector<std::uint8_t> row;
    std::vector<std::uint64_t> sums;
    std::vector<Bgr> colors;
    averageBandColors(source, empty, tileBands(empty, 3).front(), row, sums, colors);
    EXPECT_EQ(colors, std::vector<Bgr>(3, Bgr{0, 0, 0}));
}

// Three workers split the rows of tiles into groups and slots; one paints them all in turn.
TEST(RenderTiles, ResultDoesNotDependOnThreadCount) {
    const DibImage source = test::randomPicture(101, 333, 24, 11u);
    const TileGeometry g = computeTileGeometry(tileSizeBlock(4, 3, 1), 101, 333);
    const auto render = [&](const char* threads) {
        setenv("VELLORA_THREADS", threads, 1);
        test::RecordingFrontend frontend;
        Session session(frontend);
        DibImage target = makeImage(101, 333, 8, 16);
        EXPECT_EQ(renderTiles(session, target, source, g,
                              {[](const Bgr& c) { return std::uint8_t(c[0] / 16); }}),
                  0);
        unsetenv("VELLORA_THREADS");
        return target.data;
    };
    EXPECT_EQ(render("1"), render("3"));
}

} // namespace
} // namespace vellora
