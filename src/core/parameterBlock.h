#pragma once
// The 804-byte block of settings: every dialog's values, little-endian 32-bit fields at fixed
// offsets (the parameter file stores it byte for byte after 12 reserved bytes). Two copies live
// in a session: the working block (dialogs and operations) and the saved block (the file).
#include <bit>
#include <cstddef>
#include <cstdint>

namespace vellora {

static_assert(std::endian::native == std::endian::little,
              "the parameter block is stored as it lies in memory");

struct ParameterBlock {
    std::uint8_t reserved0[12];
    std::uint32_t screenWidth;
    std::uint32_t screenHeight;
    std::uint8_t reserved20[16];
    std::int32_t windowRect[4]; // left, top, right, bottom
    std::uint8_t reserved52[16];
    std::uint32_t windowWidth;
    std::uint32_t windowHeight;
    std::uint8_t reserved76[8];
    // Save-as-default flags, one per dialog; meaningful in the working block only.
    std::uint32_t saveHiddenMenu;
    std::uint32_t saveCrop;
    std::uint32_t saveResize;
    std::uint32_t saveRotate;
    std::uint32_t saveColor;
    std::uint32_t saveGray;
    std::uint32_t saveBlackWhite;
    std::uint32_t saveInvert;
    std::uint32_t savePoster;
    std::uint32_t saveHistogram;
    std::uint32_t saveSmoothing;
    std::uint32_t saveEdgePreserving;
    std::uint32_t saveSharpening;
    std::uint32_t saveEdgeDetect;
    std::uint32_t saveDeNoise;
    std::uint32_t saveUserFilter;
    std::uint32_t saveTiling;
    std::uint8_t reserved152[16];
    std::uint32_t saveBitsPerPixel;
    std::uint32_t saveQuality;
    std::uint32_t saveDepthIndex;
    std::uint32_t evenDivisions[3]; // red, green, blue
    std::int32_t rotateAngle;
    std::uint32_t rotateBicubic;
    std::uint32_t rotateDepthIndex;
    std::uint32_t rotateBlankIndex;
    std::int32_t cropRect[4]; // left column, bottom row, right column, top row; 0-based, inclusive
    std::int32_t resizeWidth;
    std::int32_t resizeHeight;
    std::uint32_t resizeInterpolate;
    std::uint32_t resizeDepthIndex;
    std::uint32_t colorDiffusion;
    std::uint32_t colorMethod;
    std::uint32_t colorChoice[4]; // decrease, standard, even color, true color lists
    char userPalettePath[260];
    std::uint32_t grayDiffusion;
    std::uint32_t grayLevelIndex;
    std::uint32_t bwDiffusion;
    std::uint32_t bwMedianCut;
    std::uint32_t bwThreshold;
    std::uint32_t bwStretch;
    std::uint32_t bwOutset;
    std::uint32_t bwEndset;
    std::uint32_t invertDepthIndex;
    std::uint32_t posterCommon;
    std::uint32_t posterLevelRGB;
    std::uint32_t posterLevelRed;
    std::uint32_t posterLevelGreen;
    std::uint32_t posterLevelBlue;
    std::uint32_t histEnabled[3]; // red, green, blue
    std::uint32_t histOutset[3];
    std::uint32_t histEndset[3];
    std::uint32_t smoothingIndex;
    std::uint32_t edgePreservingIndex;
    std::uint32_t sharpeningIndex;
    std::uint32_t edgeDetectMode;
    std::uint32_t edgeDetectChoice[3];
    std::uint32_t deNoiseIndex;
    std::int32_t userFilterValue;
    std::uint32_t userFilterSizeIndex;
    std::int32_t userFilterMask[25]; // row by row, 5 x 5
    std::uint32_t tilingConvert;
    std::uint32_t tilingPaletteClass;
    std::uint32_t tilingMedianIndex;
    std::uint32_t tilingEvenIndex;
    std::uint32_t tilingSizeMethod;
    std::int32_t tileCountHigh;
    std::int32_t tilePixelHeight;
    std::int32_t tileCountWide;
    std::int32_t tilePixelWidth;
    std::int32_t slitPixelWidth;
    std::uint32_t hSlitGrayIndex;
    std::uint32_t vSlitGrayIndex;
};

inline constexpr std::size_t kParameterBlockBytes = 804;
static_assert(sizeof(ParameterBlock) == kParameterBlockBytes);
static_assert(offsetof(ParameterBlock, screenWidth) == 12);
static_assert(offsetof(ParameterBlock, windowRect) == 36);
static_assert(offsetof(ParameterBlock, windowWidth) == 68);
static_assert(offsetof(ParameterBlock, saveHiddenMenu) == 84);
static_assert(offsetof(ParameterBlock, saveTiling) == 148);
static_assert(offsetof(ParameterBlock, saveBitsPerPixel) == 168);
static_assert(offsetof(ParameterBlock, evenDivisions) == 180);
static_assert(offsetof(ParameterBlock, rotateAngle) == 192);
static_assert(offsetof(ParameterBlock, cropRect) == 208);
static_assert(offsetof(ParameterBlock, resizeWidth) == 224);
static_assert(offsetof(ParameterBlock, colorDiffusion) == 240);
static_assert(offsetof(ParameterBlock, colorChoice) == 248);
static_assert(offsetof(ParameterBlock, userPalettePath) == 264);
static_assert(offsetof(ParameterBlock, grayDiffusion) == 524);
static_assert(offsetof(ParameterBlock, bwDiffusion) == 532);
static_assert(offsetof(ParameterBlock, bwEndset) == 552);
static_assert(offsetof(ParameterBlock, invertDepthIndex) == 556);
static_assert(offsetof(ParameterBlock, posterCommon) == 560);
static_assert(offsetof(ParameterBlock, posterLevelBlue) == 576);
static_assert(offsetof(ParameterBlock, histEnabled) == 580);
static_assert(offsetof(ParameterBlock, histOutset) == 592);
static_assert(offsetof(ParameterBlock, histEndset) == 604);
static_assert(offsetof(ParameterBlock, smoothingIndex) == 616);
static_assert(offsetof(ParameterBlock, edgeDetectMode) == 628);
static_assert(offsetof(ParameterBlock, edgeDetectChoice) == 632);
static_assert(offsetof(ParameterBlock, deNoiseIndex) == 644);
static_assert(offsetof(ParameterBlock, userFilterValue) == 648);
static_assert(offsetof(ParameterBlock, userFilterMask) == 656);
static_assert(offsetof(ParameterBlock, tilingConvert) == 756);
static_assert(offsetof(ParameterBlock, tileCountHigh) == 776);
static_assert(offsetof(ParameterBlock, slitPixelWidth) == 792);
static_assert(offsetof(ParameterBlock, vSlitGrayIndex) == 800);

// An all-zero block with the defaults of a fresh block written in.
ParameterBlock defaultParameterBlock();
// Writes the defaults of the field table (core/parameterFields.h) into a block; fields whose
// default is 0 are left as they are.
void setParameterDefaults(ParameterBlock& block);
// Whether the block's user palette path holds its terminating zero.
bool hasTerminatedPath(const ParameterBlock& block);

} // namespace vellora
