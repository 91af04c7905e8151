#include "shell/parameterFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vellora {
namespace {

struct MergeCase {
    const char* flag;
    std::size_t flagOffset;
    std::size_t begin, end; // block bytes the flag's merge copies
};

// The groups as the dialogs own them.
const MergeCase kMergeCases[] = {
    {"saveHiddenMenu", 84, 168, 192}, {"saveCrop", 88, 0, 0},
    {"saveResize", 92, 232, 240},     {"saveRotate", 96, 192, 208},
    {"saveColor", 100, 240, 264},     {"saveGray", 104, 524, 532},
    {"saveBlackWhite", 108, 532, 556}, {"saveInvert", 112, 556, 560},
    {"savePoster", 116, 560, 580},    {"saveHistogram", 120, 580, 616},
    {"saveSmoothing", 124, 616, 620}, {"saveEdgePreserving", 128, 620, 624},
    {"saveSharpening", 132, 624, 628}, {"saveEdgeDetect", 136, 628, 644},
    {"saveDeNoise", 140, 644, 648},   {"saveUserFilter", 144, 648, 756},
    {"saveTiling", 148, 756, 804},
};

constexpr std::size_t kPathOffset = 264;
constexpr char kWorkingPath[] = "palette/user/mine.csv";

std::uint8_t* bytesOf(ParameterBlock& block) { return reinterpret_cast<std::uint8_t*>(&block); }
const std::uint8_t* bytesOf(const ParameterBlock& block) {
    return reinterpret_cast<const std::uint8_t*>(&block);
}

class MergeSavedDefaultsTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MergeSavedDefaultsTest, CopiesExactlyItsGroupAndClearsItsFlag) {
    const MergeCase c = GetParam();
    ParameterBlock saved, working;
    std::memset(&saved, 0x11, sizeof saved);
    std::memset(&working, 0x22, sizeof working);
    std::memset(bytesOf(working) + 84, 0, 17 * 4); // every flag off …
    bytesOf(working)[c.flagOffset] = 1;            // … but this one
    std::memcpy(bytesOf(working) + kPathOffset, kWorkingPath, sizeof kWorkingPath);
    const ParameterBlock workingBefore = working;

    mergeSavedDefaults(saved, working);

    const bool copiesPath = c.flagOffset == 100;
    for (std::size_t i = 0; i < sizeof saved; ++i) {
        const bool inGroup = i >= c.begin && i < c.end;
        const bool inPath = copiesPath && i >= kPathOffset && i < kPathOffset + sizeof kWorkingPath;
        const std::uint8_t expected = inGroup || inPath ? bytesOf(working)[i] : 0x11;
        ASSERT_EQ(bytesOf(saved)[i], expected) << c.flag << " byte " << i;
        const std::uint8_t expectedWorking = i == c.flagOffset ? 0 : bytesOf(workingBefore)[i];
        ASSERT_EQ(bytesOf(working)[i], expectedWorking) << c.flag << " working byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFlag, MergeSavedDefaultsTest, ::testing::ValuesIn(kMergeCases),
                         [](const auto& info) { return std::string(info.param.flag); });

TEST(MergeSavedDefaults, NoFlagChangesNothing) {
    ParameterBlock saved = defaultParameterBlock();
    ParameterBlock working = defaultParameterBlock();
    working.grayLevelIndex = 1;
    working.tileCountWide = 3;
    const ParameterBlock savedBefore = saved;
    mergeSavedDefaults(saved, working);
    EXPECT_EQ(std::memcmp(&saved, &savedBefore, sizeof saved), 0);
    EXPECT_EQ(working.grayLevelIndex, 1u);
}

TEST(MergeSavedDefaults, SeveralFlagsMergeTogether) {
    ParameterBlock saved = defaultParameterBlock();
    ParameterBlock working = defaultParameterBlock();
    working.grayLevelIndex = 3;
    working.saveGray = 1;
    working.tileCountHigh = 12;
    working.saveTiling = 1;
    working.deNoiseIndex = 2; // its flag is off
    mergeSavedDefaults(saved, working);
    EXPECT_EQ(saved.grayLevelIndex, 3u);
    EXPECT_EQ(saved.tileCountHigh, 12);
    EXPECT_EQ(saved.deNoiseIndex, 0u);
    EXPECT_EQ(working.saveGray, 0u);
    EXPECT_EQ(working.saveTiling, 0u);
}

TEST(MergeSavedDefaults, ColourPathIsCopiedAsTerminatedString) {
    ParameterBlock saved = defaultParameterBlock();
    ParameterBlock working = defaultParameterBlock();
    std::memset(saved.userPalettePath, 'o', sizeof saved.userPalettePath - 1);
    std::strcpy(working.userPalettePath, "a.ecp");
    working.saveColor = 1;
    mergeSavedDefaults(saved, working);
    EXPECT_STREQ(saved.userPalettePath, "a.ecp");
}

} // namespace
} // namespace vellora
