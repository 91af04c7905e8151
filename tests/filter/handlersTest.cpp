#include "core/errors.h"
#include "core/operationFrame.h"
#include "filter/deNoise.h"
#include "filter/edgeDetect.h"
#include "filter/edgePreserving.h"
#include "filter/sharpen.h"
#include "filter/smooth.h"
#include "filter/userFilter.h"
#include "filterReference.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vellora {
namespace {

struct HandlerCase {
    const char* name;
    Handler handler;
    const char* failureText;
};

class FilterHandler : public ::testing::TestWithParam<HandlerCase> {
  protected:
    test::RecordingFrontend frontend;
    Session session{frontend};
};

TEST_P(FilterHandler, SuccessMakesATrueColourResultCurrent) {
    const DibImage picture = test::randomPicture(8, 6, 4, 3);
    test::setCurrentPicture(session, picture);
    const std::string before = session.currentPath;
    session.currentInfo.state = 0;
    ASSERT_EQ(runCommandHandler(session, GetParam().handler), 0);
    EXPECT_NE(session.currentPath, before);
    const DibImage result = test::readImage(session.currentPath);
    EXPECT_EQ(result.bitsPerPixel, 24);
    EXPECT_EQ(result.width, 8);
    EXPECT_EQ(result.height, 6);
    EXPECT_EQ(session.currentInfo.state, 514);
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_EQ(frontend.progressVisibility, (std::vector<bool>{true, false}));
    EXPECT_TRUE(session.sourceImage.data.empty());
    EXPECT_TRUE(session.targetImage.data.empty());
}

TEST_P(FilterHandler, UnreadablePictureShowsTheFailureTextAndChangesNothing) {
    test::TempDir dir;
    const std::string broken = (dir / "broken.dib").string();
    test::writeFileBytes(broken, {'B', 'M', 1, 2, 3});
    session.currentPath = broken;
    session.currentInfo.state = 7;
    ASSERT_EQ(runCommandHandler(session, GetParam().handler), 1);
    EXPECT_EQ(session.currentPath, broken);
    EXPECT_EQ(session.currentInfo.state, 7);
    ASSERT_GE(frontend.messages.size(), 2u); // the reader's message, then the command's
    EXPECT_EQ(frontend.messages.back(), (test::Message{"error", GetParam().failureText}));
    EXPECT_EQ(test::readFileBytes(broken), (std::vector<std::uint8_t>{'B', 'M', 1, 2, 3}));
    EXPECT_FALSE(std::filesystem::exists(session.nextPath));
}

TEST_P(FilterHandler, SettingOutsideItsListFailsWithTheFailureText) {
    test::setCurrentPicture(session, test::randomPicture(4, 4, 24, 1));
    const std::string before = session.currentPath;
    ParameterBlock& block = session.workingBlock;
    block.smoothingIndex = 10;
    block.sharpeningIndex = 2;
    block.edgePreservingIndex = 3;
    block.edgeDetectMode = 2;
    block.deNoiseIndex = 3;
    block.userFilterSizeIndex = 2;
    ASSERT_EQ(runCommandHandler(session, GetParam().handler), 1);
    EXPECT_EQ(session.currentPath, before);
    EXPECT_EQ(frontend.messages, (std::vector<test::Message>{{"error", GetParam().failureText}}));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FilterHandler,
    ::testing::Values(
        HandlerCase{"smooth", smoothHandler, "failed to smoothing the image"},
        HandlerCase{"sharpen", sharpenHandler, "failed to sharpening the image"},
        HandlerCase{"edgePreserving", edgePreservingHandler,
                    "failed to edge-preserving smoothing the image"},
        HandlerCase{"edgeDetect", edgeDetectHandler, "failed to edge detect the image"},
        HandlerCase{"deNoise", deNoiseHandler, "failed to de noise the image"},
        HandlerCase{"userFilter", userFilterHandler, "failed to filtering the image"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FilterHandlers, ReadTheirSettingsFromTheWorkingBlock) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    const DibImage picture = test::randomPicture(9, 7, 24, 5);
    test::setCurrentPicture(session, picture);
    session.workingBlock.smoothingIndex = 3;
    ASSERT_EQ(runCommandHandler(session, smoothHandler), 0);
    FilterMask mask;
    makeMask(mask, kSmoothingFamily, 3);
    EXPECT_TRUE(test::samePixels(test::referenceConvolve(picture, mask),
                                 test::readImage(session.currentPath)));
    test::setCurrentPicture(session, picture);
    session.workingBlock.deNoiseIndex = 2;
    ASSERT_EQ(runCommandHandler(session, deNoiseHandler), 0);
    EXPECT_TRUE(
        test::samePixels(test::referenceDeNoise(picture, 7), test::readImage(session.currentPath)));
    test::setCurrentPicture(session, picture);
    session.workingBlock.edgePreservingIndex = 0;
    ASSERT_EQ(runCommandHandler(session, edgePreservingHandler), 0);
    EXPECT_TRUE(test::samePixels(test::referenceEdgePreserving(picture, 0),
                                 test::readImage(session.currentPath)));
}

} // namespace
} // namespace vellora

namespace vellora {
namespace {

struct AlgorithmCase {
    const char* name;
    int (*run)(Session&);
};

class TooLargeForATarget : public ::testing::TestWithParam<AlgorithmCase> {};

// A source whose 24 bpp copy would not fit the 32-bit size fields: the target cannot be made,
// the allocation message is shown, the source is released and nothing is written.
TEST_P(TooLargeForATarget, FailsWithTheAllocationMessage) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::TempDir dir;
    session.nextPath = (dir / "next.dib").string();
    session.sourceImage = test::makeImage(2, 2, 1);
    session.sourceImage.width = 70000;
    session.sourceImage.height = 70000;
    EXPECT_EQ(GetParam().run(session), 1);
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0].text.rfind(
                  "failed to allocate memory\na 70000 x 70000 picture of ", 0),
              0u)
        << frontend.messages[0].text;
    EXPECT_TRUE(session.sourceImage.data.empty());
    EXPECT_TRUE(session.targetImage.data.empty());
    EXPECT_FALSE(std::filesystem::exists(session.nextPath));
}

TEST_P(TooLargeForATarget, UnwritableResultFailsAndReleasesBothImages) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::TempDir dir;
    session.nextPath = (dir / "missing" / "next.dib").string();
    session.sourceImage = test::randomPicture(5, 4, 24, 3);
    EXPECT_EQ(GetParam().run(session), 1);
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0].text.rfind(
                  std::string(errorMessage(kErrorCreate)) + "\ncannot write \"" + session.nextPath,
                  0),
              0u);
    EXPECT_TRUE(session.sourceImage.data.empty());
    EXPECT_TRUE(session.targetImage.data.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Algorithms, TooLargeForATarget,
    ::testing::Values(AlgorithmCase{"smooth", [](Session& s) { return smoothImage(s, 0); }},
                      AlgorithmCase{"sharpen", [](Session& s) { return sharpenImage(s, 1); }},
                      AlgorithmCase{"edgePreserving",
                                    [](Session& s) { return edgePreservingSmooth(s, 1); }},
                      AlgorithmCase{"deNoise", [](Session& s) { return deNoiseImage(s, 2); }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vellora
