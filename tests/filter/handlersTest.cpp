// The filter commands as the program runs them, and edge detection's choice between directions.
#include "core/errors.h"
#include "core/intermediateFiles.h"
#include "core/operationFrame.h"
#include "filter/deNoise.h"
#include "filter/edgeDetect.h"
#include "filter/edgeMask.h"
#include "filter/sharpen.h"
#include "filter/smooth.h"
#include "filter/userFilter.h"
#include "filterReference.h"

#include <filesystem>

namespace vellora {
namespace {

using test::rgbAt;

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

TEST_P(FilterHandler, SucceedsOrFailsWithItsText) {
    test::setCurrentPicture(session, test::randomPicture(8, 6, 4, 3));
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
    ASSERT_FALSE(frontend.progressPositions.empty());
    EXPECT_EQ(frontend.progressPositions.back(), 100);
    EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());

    // Every setting outside its list: the command fails with its text alone.
    const std::string current = session.currentPath;
    ParameterBlock& block = session.workingBlock;
    block.smoothingIndex = 10;
    block.sharpeningIndex = 2;
    block.edgePreservingIndex = 3;
    block.edgeDetectMode = 2;
    block.deNoiseIndex = 3;
    block.userFilterSizeIndex = 2;
    ASSERT_EQ(runCommandHandler(session, GetParam().handler), 1);
    EXPECT_EQ(session.currentPath, current);
    EXPECT_EQ(frontend.messages, (std::vector<test::Message>{{"error", GetParam().failureText}}));

    // An unreadable picture: the reader's message, then the command's; nothing changes.
    frontend.clear();
    test::TempDir dir;
    const std::string broken = (dir / "broken.dib").string();
    test::writeFileBytes(broken, {'B', 'M', 1, 2, 3});
    session.currentPath = broken;
    session.workingBlock = defaultParameterBlock();
    ASSERT_EQ(runCommandHandler(session, GetParam().handler), 1);
    EXPECT_EQ(session.currentPath, broken);
    ASSERT_GE(frontend.messages.size(), 2u);
    EXPECT_EQ(frontend.messages.back(), (test::Message{"error", GetParam().failureText}));
    EXPECT_EQ(test::readFileBytes(broken), (std::vector<std::uint8_t>{'B', 'M', 1, 2, 3}));
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
    FilterMask mask;
    makeMask(mask, kSmoothingFamily, 3);
    const struct {
        Handler handler;
        DibImage expected;
    } cases[] = {{smoothHandler, test::referenceConvolve(picture, mask)},
                 {deNoiseHandler, test::referenceDeNoise(picture, 7)},
                 {edgePreservingHandler, test::referenceEdgePreserving(picture, 0)}};
    session.workingBlock.smoothingIndex = 3;
    session.workingBlock.deNoiseIndex = 2;
    session.workingBlock.edgePreservingIndex = 0;
    for (const auto& c : cases) {
        test::setCurrentPicture(session, picture);
        ASSERT_EQ(runCommandHandler(session, c.handler), 0);
        EXPECT_TRUE(test::samePixels(c.expected, test::readImage(session.currentPath)));
    }
}

struct AlgorithmCase {
    const char* name;
    int (*run)(Session&);
};

class ResultCannotBeMade : public ::testing::TestWithParam<AlgorithmCase> {};

// A source whose 24 bpp copy would not fit the 32-bit size fields, then a result folder that
// does not exist: one message each, both pictures released, nothing written.
TEST_P(ResultCannotBeMade, FailsWithOneMessageAndReleasesBothImages) {
    test::RecordingFrontend frontend;
    Session session(frontend);
    test::TempDir dir;
    session.nextPath = (dir / "next.dib").string();
    session.sourceImage = test::makeImage(2, 2, 1);
    session.sourceImage.width = 70000;
    session.sourceImage.height = 70000;
    EXPECT_EQ(GetParam().run(session), 1);
    EXPECT_FALSE(std::filesystem::exists(session.nextPath));
    session.nextPath = (dir / "missing" / "next.dib").string();
    session.sourceImage = test::randomPicture(5, 4, 24, 3);
    EXPECT_EQ(GetParam().run(session), 1);
    EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());
    const std::vector<std::string> texts = frontend.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind("failed to allocate memory\na 70000 x 70000 picture of ", 0), 0u);
    EXPECT_EQ(texts[1].rfind(std::string(errorMessage(kErrorCreate)) + "\ncannot write \"" +
                                 session.nextPath, 0),
              0u);
}

INSTANTIATE_TEST_SUITE_P(
    Algorithms, ResultCannotBeMade,
    ::testing::Values(AlgorithmCase{"smooth", [](Session& s) { return smoothImage(s, 0); }},
                      AlgorithmCase{"sharpen", [](Session& s) { return sharpenImage(s, 1); }},
                      AlgorithmCase{"edgePreserving",
                                    [](Session& s) { return edgePreservingSmooth(s, 1); }},
                      AlgorithmCase{"deNoise", [](Session& s) { return deNoiseImage(s, 2); }}),
    [](const auto& info) { return std::string(info.param.name); });

// The vertical colour only when its squared magnitude is strictly greater.
TEST(EdgeDetect, StrongerOfTwo) {
    const struct {
        std::uint32_t vertical, horizontal, expected;
    } cases[] = {{0x0A0A0A, 0x120000, 0x120000},  // 300 < 324
                 {0x000012, 0x120000, 0x120000},  // equal: horizontal
                 {0x0B0B0B, 0x120000, 0x0B0B0B}}; // 363 > 324
    for (const auto& c : cases) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        DibImage target = test::makeImage(2, 2, 24);
        EXPECT_EQ(strongerOfTwo(session, target,
                                test::makeTrueColorImage(2, 2, [&](int, int) { return c.vertical; }),
                                test::makeTrueColorImage(2, 2, [&](int, int) { return c.horizontal; })),
                  0);
        EXPECT_EQ(rgbAt(target, 1, 1), c.expected);
    }
}

class DetectEdgesFile : public ::testing::Test {
  protected:
    test::RecordingFrontend frontend;
    Session session{frontend};

    DibImage run(const DibImage& picture, int mode, int direction, int op, int nonDirection) {
        test::setCurrentPicture(session, picture);
        EXPECT_EQ(nextIntermediatePath(session, session.nextPath), 0);
        EXPECT_EQ(detectEdges(session, mode, direction, op, nonDirection), 0);
        EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());
        return test::readImage(session.nextPath);
    }
    static DibImage plain(const DibImage& source, int family, int index) {
        FilterMask mask;
        EXPECT_TRUE(makeEdgeMask(mask, family, index));
        return test::referenceConvolve(source, mask);
    }
};

// One direction or non-direction: its mask. Both directions: per pixel the vertical response
// when stronger, else the horizontal one; the bar runs for each and once for the choice.
TEST_F(DetectEdgesFile, EachModeUsesItsMasks) {
    const DibImage source = test::randomPicture(17, 12, 8, 11, 4);
    const auto magnitude = [](std::uint32_t c) {
        return (c >> 16) * (c >> 16) + (c >> 8 & 255) * (c >> 8 & 255) + (c & 255) * (c & 255);
    };
    for (auto [mode, direction, op, nonDirection] :
         {std::tuple{0, 3, 0, 0}, {0, 3, 1, 0}, {0, 3, 2, 0}, {0, 3, 3, 0}, {0, 2, 2, 5},
          {1, 3, 3, 0}, {1, 0, 0, 4}, {1, 3, 3, 8}}) {
        frontend.progressPositions.clear();
        const DibImage result = run(source, mode, direction, op, nonDirection);
        if (mode == 1) {
            EXPECT_TRUE(test::samePixels(plain(source, kNonDirectionFamily, nonDirection), result));
            continue;
        }
        const DibImage vertical = plain(source, kDirectionFamily, 3 * op + direction % 3);
        const DibImage horizontal = plain(source, kDirectionFamily, 3 * op + 1);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 17; ++x) {
                const std::uint32_t v = rgbAt(vertical, x, y), h = rgbAt(horizontal, x, y);
                ASSERT_EQ(rgbAt(result, x, y),
                          direction != 3 || magnitude(v) > magnitude(h) ? v : h);
            }
        const auto& positions = frontend.progressPositions;
        EXPECT_EQ(std::count(positions.begin(), positions.end(), 100), direction == 3 ? 3 : 1);
    }
}

TEST_F(DetectEdgesFile, SettingsOutsideTheListsFailWithoutAResult) {
    test::setCurrentPicture(session, test::randomPicture(4, 4, 24, 1));
    EXPECT_EQ(nextIntermediatePath(session, session.nextPath), 0);
    for (auto [mode, direction, op, nonDirection] :
         {std::tuple{2, 0, 0, 0}, {0, 4, 0, 0}, {0, 0, 4, 0}, {1, 0, 0, 9}, {1, 0, 0, -1}, {0, -1, 0, 0}}) {
        EXPECT_EQ(detectEdges(session, mode, direction, op, nonDirection), 1);
        EXPECT_FALSE(std::filesystem::exists(session.nextPath));
    }
}

} // namespace
} // namespace vellora
