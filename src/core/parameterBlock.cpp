#include "core/parameterBlock.h"

#include <cstring>

namespace vellora {

void setParameterDefaults(ParameterBlock& b) {
    b.saveBitsPerPixel = 24;
    b.saveQuality = 100;
    b.evenDivisions[0] = 8;
    b.evenDivisions[1] = 6;
    b.evenDivisions[2] = 5;
    b.rotateBicubic = 1;
    b.rotateDepthIndex = 1;
    b.rotateBlankIndex = 1;
    b.resizeInterpolate = 1;
    b.resizeDepthIndex = 1;
    b.colorDiffusion = 1;
    b.colorChoice[0] = 7;
    b.colorChoice[1] = 1;
    b.colorChoice[2] = 9;
    b.grayDiffusion = 1;
    b.grayLevelIndex = 7;
    b.bwMedianCut = 1;
    b.bwThreshold = 128;
    b.bwOutset = 1;
    b.bwEndset = 255;
    b.posterLevelRGB = 2;
    b.posterLevelRed = 2;
    b.posterLevelGreen = 1;
    b.posterLevelBlue = 1;
    for (int c = 0; c < 3; ++c) {
        b.histEnabled[c] = 1;
        b.histEndset[c] = 255;
    }
    b.edgePreservingIndex = 1;
    b.edgeDetectChoice[0] = 3;
    b.userFilterValue = 1;
    b.userFilterMask[12] = 1;
    b.tilingConvert = 1;
    b.tilingPaletteClass = 1;
    b.tilingMedianIndex = 3;
    b.tilingEvenIndex = 9;
    b.tilingSizeMethod = 1;
    b.tileCountHigh = 48;
    b.tilePixelHeight = 9;
    b.tileCountWide = 64;
    b.tilePixelWidth = 9;
    b.slitPixelWidth = 1;
    b.hSlitGrayIndex = 1;
    b.vSlitGrayIndex = 1;
}

ParameterBlock defaultParameterBlock() {
    ParameterBlock block;
    std::memset(&block, 0, sizeof block);
    setParameterDefaults(block);
    return block;
}

bool hasTerminatedPath(const ParameterBlock& block) {
    return std::memchr(block.userPalettePath, 0, sizeof block.userPalettePath) != nullptr;
}

} // namespace vellora
