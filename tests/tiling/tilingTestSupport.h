#pragma once
// Shared pieces of the tiling tests.
#include "core/parameterBlock.h"
#include "core/pixelAccess.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"
#include "tiling/tileBands.h"
#include "tiling/tileColor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace vellora::test {

// The working block for "tile size" with the given sizes, slit and gray choices.
inline ParameterBlock tileSizeBlock(int tileWidth, int tileHeight, int slit, int hGray = 1,
                                    int vGray = 1) {
    ParameterBlock block = defaultParameterBlock();
    block.tilingSizeMethod = 1;
    block.tilePixelWidth = tileWidth;
    block.tilePixelHeight = tileHeight;
    block.slitPixelWidth = slit;
    block.hSlitGrayIndex = std::uint32_t(hGray);
    block.vSlitGrayIndex = std::uint32_t(vGray);
    return block;
}

// The source's average under every tile, in grid order (top row as displayed first), mapped.
inline std::vector<Bgr> mappedAverages(const DibImage& source, const TileGeometry& g,
                                       const TileColorMapping& mapping = {}) {
    std::vector<Bgr> colors(std::size_t(g.tileCount()));
    for (const TileBand& band : tileBands(g, source.height))
        for (int c = 0; c < g.tileColumns; ++c)
            colors[std::size_t(band.gridRow * g.tileColumns + c)] =
                mapTileColor(mapping, averageTileColor(source, g, band.blockY, tileColumnX(g, c)));
    return colors;
}

// What every tile is painted with, in grid order, as mapTileColor gives it (the index in byte
// 0, or the colour); each tile is checked to be one colour throughout.
inline std::vector<Bgr> paintedTiles(const DibImage& tiled, const TileGeometry& g) {
    std::vector<Bgr> tiles(std::size_t(g.tileCount()));
    bool uniform = true;
    for (const TileBand& band : tileBands(g, tiled.height))
        for (int c = 0; c < g.tileColumns; ++c) {
            const int x0 = tileColumnX(g, c);
            Bgr& tile = tiles[std::size_t(band.gridRow * g.tileColumns + c)];
            for (int y = band.paintBegin; y < band.paintEnd; ++y)
                for (int x = x0; x < std::min(tiled.width, x0 + g.tileWidth); ++x) {
                    Bgr painted{};
                    if (tiled.isIndexed())
                        getIndex(tiled, painted[0], y, x, tiled.bitsPerPixel);
                    else
                        getColor(tiled, painted.data(), y, x, tiled.bitsPerPixel);
                    if (y == band.paintBegin && x == x0) tile = painted;
                    uniform = uniform && painted == tile;
                }
        }
    EXPECT_TRUE(uniform);
    return tiles;
}

// A session whose current picture is `source`, tiled by the working block.
struct TilingSession : ::testing::Test {
    RecordingFrontend frontend;
    Session session{frontend};
    TempDir folder;
    DibImage source;

    void start(const DibImage& picture, const ParameterBlock& block,
               const std::string& name = "sample.jpg") {
        source = picture;
        setCurrentPicture(session, picture);
        session.workingBlock = block;
        session.picturePath = "/pictures/" + name;
    }
    TileGeometry geometry() const {
        return computeTileGeometry(session.workingBlock, source.width, source.height);
    }
    DibImage current() const { return readImage(session.currentPath); }
};

} // namespace vellora::test
