#include "tiling/tileGeometry.h"
#include "tiling/tileBands.h"
#include "tilingTestSupport.h"

namespace vellora {
namespace {

using test::tileSizeBlock;

struct GeometryCase {
    const char* name;
    int method;                  // 0 around count, 1 tile size
    int widthValue, heightValue; // counts or sizes
    int slit, width, height;
    int tileWidth, tileHeight, tileColumns, tileRows, bottomRemainder;
};

const GeometryCase kGeometryCases[] = {
    {"W34 three full columns", 1, 10, 10, 2, 34, 12, 10, 10, 3, 1, 0},
    {"W37 one pixel last column", 1, 10, 10, 2, 37, 12, 10, 10, 4, 1, 0},
    {"H35 tall bottom row", 1, 10, 10, 2, 12, 35, 10, 10, 1, 3, 11},
    {"H36 slit at the bottom", 1, 10, 10, 2, 12, 36, 10, 10, 1, 3, 0},
    {"no slit", 1, 10, 10, 0, 34, 35, 10, 10, 4, 4, 5},
    {"around count 48 over 480", 0, 64, 48, 1, 640, 480, 9, 9, 64, 48, 0},
    {"around count slit 0", 0, 64, 48, 0, 640, 480, 10, 10, 64, 48, 0},
    {"around count pitch above H / c", 0, 7, 3, 0, 20, 10, 3, 4, 7, 3, 2},
    {"around count more tiles than pixels", 0, 50, 40, 1, 30, 20, 0, 0, 30, 20, 0},
    {"around count tiles of one pixel", 0, 5, 5, 1, 10, 10, 1, 1, 5, 5, 0}, // (10 / 5 + 10) / 5 - 1
    {"tile larger than the picture", 1, 50, 50, 1, 30, 20, 50, 50, 1, 1, 20},
    {"huge tile", 1, 2147483646, 2147483646, 1, 30, 20, 2147483646, 2147483646, 1, 1, 20},
};

TEST(TileLayout, GeometryMatchesHandWorkedLayouts) {
    for (const GeometryCase& c : kGeometryCases) {
        SCOPED_TRACE(c.name);
        ParameterBlock block = tileSizeBlock(c.widthValue, c.heightValue, c.slit);
        block.tilingSizeMethod = std::uint32_t(c.method);
        block.tileCountWide = c.widthValue;
        block.tileCountHigh = c.heightValue;
        ASSERT_EQ(tilingLayoutProblem(block, c.width, c.height), "");
        const TileGeometry g = computeTileGeometry(block, c.width, c.height);
        EXPECT_EQ(std::tuple(g.tileWidth, g.tileHeight, g.tileColumns, g.tileRows,
                             g.bottomRemainder, g.slitWidth),
                  std::tuple(c.tileWidth, c.tileHeight, c.tileColumns, c.tileRows,
                             c.bottomRemainder, c.slit));
    }
    // The slit grays end at black, with no name past it.
    EXPECT_EQ(std::tuple(slitGrayText(5), slitGrayText(6)), std::tuple("black", ""));
}

// Every pixel lies in exactly one painted tile rectangle or in the slits (a crossing is one
// slit pixel): a tile adds 1, a slit sets 10, so anything but 1 or 10 is a gap or an overlap.
TEST(TileLayout, EveryPixelCoveredOnce) {
    for (int width : {1, 7, 34, 37})
        for (int height : {1, 9, 35, 36})
            for (int slit : {0, 1, 2, 3})
                for (int tile : {0, 1, 4, 10}) {
                    if (tile + slit == 0) continue;
                    const TileGeometry g =
                        computeTileGeometry(tileSizeBlock(tile, tile, slit), width, height);
                    std::vector<int> cover(std::size_t(width * height), 0);
                    const auto at = [&](int x, int y) -> int& {
                        return cover[std::size_t(y * width + x)];
                    };
                    for (const SlitSpan& s : horizontalSlits(g, height))
                        for (int y = s.begin; y < s.end; ++y)
                            for (int x = 0; x < width; ++x)
                                at(x, y) = 10;
                    for (const SlitSpan& s : verticalSlits(g, width))
                        for (int y = 0; y < height; ++y)
                            for (int x = s.begin; x < s.end; ++x)
                                at(x, y) = 10;
                    const auto inside = [&](const TileBand& b) { return b.paintBegin < height; };
                    ASSERT_TRUE(std::ranges::all_of(tileBands(g, height), inside));
                    for (const TileBand& b : tileBands(g, height))
                        for (int c = 0; c < g.tileColumns; ++c)
                            for (int y = b.paintBegin; y < b.paintEnd; ++y)
                                for (int x = tileColumnX(g, c);
                                     x < std::min(width, tileColumnX(g, c) + tile); ++x)
                                    ++at(x, y);
                    ASSERT_EQ(std::ranges::count_if(cover, [](int n) { return n == 1 || n == 10; }),
                              width * height)
                        << "W" << width << " H" << height << " s" << slit << " t" << tile;
                }
}

ParameterBlock aroundCount(int wide, int high, int slit) {
    ParameterBlock b = tileSizeBlock(9, 9, slit, 5, 5); // black slits, the last gray allowed
    b.tilingSizeMethod = 0;
    b.tileCountWide = wide;
    b.tileCountHigh = high;
    return b;
}

TEST(TileLayout, ParametersThatCannotLayOutAGridAreRefused) {
    ParameterBlock badMethod = tileSizeBlock(9, 9, 1);
    badMethod.tilingSizeMethod = 2;
    const struct {
        const char* name;
        ParameterBlock block;
        bool refused;
    } cases[] = {
        {"size 0 and slit 0", tileSizeBlock(0, 5, 0), true},
        {"computed size 0 and slit 0", aroundCount(50, 4, 0), true},
        {"count 0 (division by zero)", aroundCount(0, 4, 1), true},
        {"one tile each way", aroundCount(1, 1, 1), false},
        {"negative count", aroundCount(4, -1, 1), true},
        {"negative size", tileSizeBlock(-2, 4, 3), true},
        {"negative slit", tileSizeBlock(4, 4, -1), true},
        {"horizontal gray past black", tileSizeBlock(9, 9, 1, 6, 5), true},
        {"vertical gray past black", tileSizeBlock(9, 9, 1, 5, 6), true},
        {"unknown method", badMethod, true},
        {"pitch beyond 32 bits", tileSizeBlock(2147483647, 4, 1), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!tilingLayoutProblem(c.block, 30, 20).empty(), c.refused) << c.name;
}

} // namespace
} // namespace vellora
