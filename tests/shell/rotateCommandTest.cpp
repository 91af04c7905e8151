// The Arbitrary rotate command: angles normalised, multiples of 90 as quarter turns.
#include "shell/rotateCommand.h"
#include "core/operationFrame.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vellora {
namespace {

struct AngleCase {
    int angle, normalized;
};

class AngleNormalization : public ::testing::TestWithParam<AngleCase> {};

TEST_P(AngleNormalization, IntoZeroTo359) {
    EXPECT_EQ(normalizeAngle(GetParam().angle), GetParam().normalized);
}

INSTANTIATE_TEST_SUITE_P(Angles, AngleNormalization,
                         ::testing::Values(AngleCase{-30, 330}, AngleCase{450, 90},
                                           AngleCase{-270, 90}, AngleCase{360, 0},
                                           AngleCase{-360, 0}, AngleCase{0, 0}, AngleCase{359, 359},
                                           AngleCase{-1, 359}, AngleCase{725, 5}));

TEST(Rotate, ThirtyToTheLeftEqualsThreeHundredThirty) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::makeTrueColorImage(40, 25, [](int x, int y) {
                                return std::uint32_t(x * 6) << 16 | std::uint32_t(y * 9);
                            }));
    const std::string start = session.currentPath;
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.rotateAngle = -30;
    ASSERT_EQ(runCommandHandler(session, rotateArbitraryHandler), 0);
    const DibImage left = test::readImage(session.currentPath);
    session.currentPath = start;
    session.workingBlock.rotateAngle = 330;
    ASSERT_EQ(runCommandHandler(session, rotateArbitraryHandler), 0);
    const DibImage right = test::readImage(session.currentPath);
    EXPECT_EQ(left.data, right.data);
    EXPECT_EQ(session.currentInfo.state, 514);
    EXPECT_TRUE(frontend.messages.empty());
}

struct QuarterCase {
    int angle;
    int depthIndex;
    // where the picture's top-left pixel lands on screen: 0 top-left, 1 top-right,
    // 2 bottom-right, 3 bottom-left
    int corner;
};

class QuarterTurns : public ::testing::TestWithParam<QuarterCase> {};

// Multiples of 90 go to the picture library: no progress, no status text, the depth kept or
// made 24 bpp.
TEST_P(QuarterTurns, TurnClockwiseThroughThePictureLibrary) {
    const QuarterCase c = GetParam();
    test::RecordingFrontend frontend;
    Session session(frontend);
    // 3 × 2, every pixel its own entry; stored row 1 is the top row on screen.
    const DibImage source = test::makeIndexedImage(
        3, 2, 8, {0x000001, 0x000002, 0x000003, 0x000004, 0x000005, 0x000006},
        [](int x, int y) { return y * 3 + x; });
    test::setCurrentPicture(session, source);
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.rotateAngle = c.angle;
    session.workingBlock.rotateDepthIndex = std::uint32_t(c.depthIndex);
    ASSERT_EQ(runCommandHandler(session, rotateArbitraryHandler), 0);
    const DibImage result = test::readImage(session.currentPath);
    EXPECT_EQ(result.bitsPerPixel, c.depthIndex == 1 ? 24 : 8);
    const bool sideways = c.corner % 2 == 1;
    ASSERT_EQ(result.width, sideways ? 2 : 3);
    ASSERT_EQ(result.height, sideways ? 3 : 2);
    const int right = result.width - 1, top = result.height - 1;
    const std::pair<int, int> corners[4] = {{0, top}, {right, top}, {right, 0}, {0, 0}};
    const auto [x, y] = corners[c.corner];
    EXPECT_EQ(test::rgbAt(result, x, y), 0x000004u); // the source's top-left pixel
    EXPECT_TRUE(frontend.progressVisibility.empty());
    EXPECT_TRUE(frontend.statusTexts.empty());
    EXPECT_EQ(session.currentInfo.state, 514);
}

INSTANTIATE_TEST_SUITE_P(Angles, QuarterTurns,
                         ::testing::Values(QuarterCase{90, 1, 1}, QuarterCase{450, 0, 1},
                                           QuarterCase{-270, 1, 1}, QuarterCase{180, 0, 2},
                                           QuarterCase{270, 0, 3}, QuarterCase{-90, 1, 3}));

TEST(QuarterTurnsCommand, AWholeTurnIsRefused) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::setCurrentPicture(session, test::makeImage(4, 4, 24));
    const std::string before = session.currentPath;
    session.workingBlock = defaultParameterBlock();
    session.workingBlock.rotateAngle = -360;
    EXPECT_EQ(runCommandHandler(session, rotateArbitraryHandler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.messages,
              (std::vector<test::Message>{{"error", "failed to rotate the image"}}));
}

} // namespace
} // namespace vellora
