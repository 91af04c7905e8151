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

// Success makes a true-colour result current; an unreadable picture gives the reader's
// message, then the command's own, and changes nothing.
TEST(FilterHandlers, SucceedOrFailWithTheirText) {
    const std::pair<Handler, const char*> cases[] = {
        {smoothHandler, "failed to smoothing the image"},
        {sharpenHandler, "failed to sharpening the image"},
        {edgePreservingHandler, "failed to edge-preserving smoothing the image"},
        {edgeDetectHandler, "failed to edge detect the image"},
        {deNoiseHandler, "failed to de noise the image"},
        {userFilterHandler, "failed to filtering the image"}};
    for (auto [handler, failureText] : cases) {
        SCOPED_TRACE(failureText);
        test::RecordingFrontend frontend;
        Session session{frontend};
        test::setCurrentPicture(session, test::randomPicture(8, 6, 4, 3));
        const std::string before = session.currentPath;
        session.currentInfo.state = 0;
        ASSERT_EQ(runCommandHandler(session, handler), 0);
        EXPECT_NE(session.currentPath, before);
        const DibImage result = test::readImage(session.currentPath);
        EXPECT_EQ(std::tuple(result.bitsPerPixel, result.width, result.height),
                  std::tuple(24, 8, 6));
        EXPECT_EQ(session.currentInfo.state, 514);
        EXPECT_TRUE(frontend.messages.empty());
        EXPECT_EQ(frontend.progressVisibility, (std::vector<bool>{true, false}));
        EXPECT_EQ(frontend.progressPositions.back(), 100);
        EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());

        test::TempDir dir;
        const std::string broken = (dir / "broken.dib").string();
        test::writeFileBytes(broken, {'B', 'M', 1, 2, 3});
        session.currentPath = broken;
        ASSERT_EQ(runCommandHandler(session, handler), 1);
        EXPECT_EQ(session.currentPath, broken);
        ASSERT_EQ(frontend.messages.size(), 2u);
        EXPECT_EQ(frontend.messages.back(), (test::Message{"error", failureText}));
        EXPECT_EQ(test::readFileBytes(broken), (std::vector<std::uint8_t>{'B', 'M', 1, 2, 3}));
    }
}

// Settings outside the lists fail silently; a source whose 24 bpp copy would not fit the
// 32-bit size fields, or a result folder that does not exist, fail with one message each.
// Every time both pictures are released and nothing is written.
TEST(FilterAlgorithms, FailuresReleaseBothPicturesAndWriteNothing) {
    const struct {
        int (*run)(Session&, int);
        int good, bad;
    } cases[] = {{smoothImage, 0, 10},
                 {sharpenImage, 1, 2},
                 {edgePreservingSmooth, 1, 3},
                 {deNoiseImage, 2, 3}};
    for (const auto& c : cases) {
        test::RecordingFrontend frontend;
        Session session(frontend);
        test::TempDir dir;
        session.nextPath = (dir / "next.dib").string();
        for (int bad : {c.bad, -1}) {
            session.sourceImage = test::randomPicture(4, 4, 24, 1);
            EXPECT_EQ(c.run(session, bad), 1);
            EXPECT_TRUE(session.sourceImage.data.empty());
        }
        EXPECT_TRUE(frontend.messages.empty());
        session.sourceImage = test::makeImage(2, 2, 1);
        session.sourceImage.width = session.sourceImage.height = 70000;
        EXPECT_EQ(c.run(session, c.good), 1);
        EXPECT_FALSE(std::filesystem::exists(session.nextPath));
        session.nextPath = (dir / "missing" / "next.dib").string();
        session.sourceImage = test::randomPicture(5, 4, 24, 3);
        EXPECT_EQ(c.run(session, c.good), 1);
        EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());
        const std::vector<std::string> texts = frontend.texts();
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].rfind("failed to allocate memory\na 70000 x 70000 picture of ", 0), 0u);
        const std::string unwritable =
            std::string(errorMessage(kErrorCreate)) + "\ncannot write \"";
        EXPECT_EQ(texts[1].rfind(unwritable + session.nextPath, 0), 0u);
    }
    EXPECT_EQ(deNoiseWindowSize(0), 3);
    EXPECT_EQ(deNoiseWindowSize(2), 7);
    EXPECT_EQ(deNoiseWindowSize(3), 0);
}

// One direction or non-direction: its mask. Both directions: per pixel the vertical response
// when stronger, else the horizontal one; the bar runs for each and once for the choice.
TEST(DetectEdges, EachModeUsesItsMasksAndSettingsOutsideTheListsFail) {
    test::RecordingFrontend frontend;
    Session session{frontend};
    const DibImage source = test::randomPicture(17, 12, 8, 11, 4);
    const auto plain = [&](int family, int index) {
        FilterMask mask;
        EXPECT_TRUE(makeEdgeMask(mask, family, index));
        return test::referenceConvolve(source, mask);
    };
    const auto magnitude = [](std::uint32_t c) {
        return (c >> 16) * (c >> 16) + (c >> 8 & 255) * (c >> 8 & 255) + (c & 255) * (c & 255);
    };
    const std::tuple<int, int, int, int> settings[] = {
        {0, 3, 0, 0}, {0, 3, 1, 0}, {0, 3, 2, 0},  {0, 3, 3, 0}, {0, 2, 2, 5},
        {1, 3, 3, 0}, {1, 0, 0, 4}, {1, 3, 3, 8},  {2, 0, 0, 0}, {0, 4, 0, 0},
        {0, 0, 4, 0}, {1, 0, 0, 9}, {1, 0, 0, -1}, {0, -1, 0, 0}}; // the last six outside the lists
    for (auto [mode, direction, op, nonDirection] : settings) {
        SCOPED_TRACE(testing::Message() << mode << direction << op << nonDirection);
        test::setCurrentPicture(session, source);
        ASSERT_EQ(nextIntermediatePath(session, session.nextPath), 0);
        frontend.progressPositions.clear();
        const bool valid = mode == 0 ? direction >= 0 && direction < 4 && op < 4
                                     : mode == 1 && nonDirection >= 0 && nonDirection < 9;
        ASSERT_EQ(detectEdges(session, mode, direction, op, nonDirection), valid ? 0 : 1);
        EXPECT_TRUE(session.sourceImage.data.empty() && session.targetImage.data.empty());
        if (!valid) {
            EXPECT_FALSE(std::filesystem::exists(session.nextPath));
            continue;
        }
        const DibImage result = test::readImage(session.nextPath);
        const DibImage vertical = mode == 1 ? plain(kNonDirectionFamily, nonDirection)
                                            : plain(kDirectionFamily, 3 * op + direction % 3);
        const DibImage horizontal = plain(kDirectionFamily, 3 * op + 1);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 17; ++x) {
                const std::uint32_t v = rgbAt(vertical, x, y), h = rgbAt(horizontal, x, y);
                const bool both = mode == 0 && direction == 3;
                ASSERT_EQ(rgbAt(result, x, y), !both || magnitude(v) > magnitude(h) ? v : h);
            }
        const auto& positions = frontend.progressPositions;
        EXPECT_EQ(std::count(positions.begin(), positions.end(), 100),
                  mode == 0 && direction == 3 ? 3 : 1);
    }
}

} // namespace
} // namespace vellora
