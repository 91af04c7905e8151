// Opening a picture: the probe, the first intermediate file, the states and the history.
#include "shell/pictureImport.h"
#include "core/history.h"
#include "core/pixelAccess.h"
#include "core/runFolders.h"
#include "imageio/pictureLibrary.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

DibImage sixteenColorPicture() {
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(std::uint32_t(i * 0x101010));
    return makeIndexedImage(7, 5, 4, palette, [](int x, int y) { return (x * 3 + y) % 16; });
}

fs::path savedPicture(const TempDir& folder, const std::string& name, const DibImage& image,
                      const char* mime) {
    std::string error;
    EXPECT_TRUE(imageio::savePicture(folder / name, image, mime, 100, image.bitsPerPixel, error))
        << error;
    return folder / name;
}

class OpenPicture : public ::testing::Test {
  protected:
    RecordingFrontend frontend;
    Session session{frontend};
    TempDir folder;
};

TEST_F(OpenPicture, ConvertsIntoTheFirstIntermediateFileAndResetsTheHistory) {
    const DibImage picture = sixteenColorPicture();
    const fs::path path = savedPicture(folder, "in.png", picture, "image/png");
    session.history.historyDepth = 4;
    session.history.historyWraps = 1;
    int repaints = 0;
    const OpenOutcome outcome = openPicture(session, path.string(), [&](Session& s) {
        ++repaints;
        EXPECT_EQ(s.currentInfo.state, kStateFit); // the view fits the new picture
        EXPECT_TRUE(fs::exists(s.currentPath));
    });
    EXPECT_EQ(outcome.result, 0);
    EXPECT_TRUE(outcome.intermediateWritten);
    EXPECT_EQ(repaints, 1);
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_EQ(session.currentInfo.state, kStateZoom);
    EXPECT_EQ(session.dialogInfo.state, kStateZoom);
    EXPECT_EQ(session.currentInfo.bitsPerPixel, 4);
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(session.picturePath, path.string());
    EXPECT_EQ(session.saveAsPath, path.string());
    EXPECT_EQ(fs::path(session.currentPath).filename(), "__VL_000.dib");
    const DibImage intermediate = readImage(session.currentPath);
    ASSERT_EQ(intermediate.bitsPerPixel, 4);
    ASSERT_EQ(intermediate.width, picture.width);
    ASSERT_EQ(intermediate.height, picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            std::uint8_t expected = 0, actual = 0;
            getIndex(picture, expected, y, x, 4);
            getIndex(intermediate, actual, y, x, 4);
            ASSERT_EQ(actual, expected) << x << "," << y;
            ASSERT_EQ(rgbAt(intermediate, x, y), rgbAt(picture, x, y));
        }
}

TEST_F(OpenPicture, ZoomOfTheViewIsCopiedToTheDialogRecord) {
    const fs::path path = savedPicture(folder, "in.bmp", sixteenColorPicture(), "image/bmp");
    openPicture(session, path.string(), [](Session& s) { s.currentInfo.zoomIndex = 6; });
    EXPECT_EQ(session.dialogInfo.zoomIndex, 6);
}

TEST_F(OpenPicture, UnloadablePictureLeavesTheEarlierPictureCurrent) {
    const fs::path earlier = savedPicture(folder, "in.bmp", sixteenColorPicture(), "image/bmp");
    ASSERT_EQ(openPicture(session, earlier.string()).result, 0);
    session.history.historyDepth = 2;
    session.currentInfo.zoomIndex = 5;
    const ImageInfo infoBefore = session.currentInfo;
    const std::string currentBefore = session.currentPath;
    const fs::path path = folder / "broken.gif";
    writeFileBytes(path, {'G', 'I', 'F', '8', '9', 'a', 0});
    bool repainted = false;
    const OpenOutcome outcome =
        openPicture(session, path.string(), [&](Session&) { repainted = true; });
    EXPECT_EQ(outcome.result, 1);
    EXPECT_FALSE(outcome.intermediateWritten);
    EXPECT_FALSE(outcome.reason.empty());
    EXPECT_FALSE(repainted);
    EXPECT_TRUE(frontend.messages.empty()); // the caller reports it
    EXPECT_EQ(std::memcmp(&session.currentInfo, &infoBefore, sizeof infoBefore), 0);
    EXPECT_EQ(session.currentPath, currentBefore);
    EXPECT_TRUE(fs::exists(currentBefore));
    EXPECT_EQ(session.picturePath, earlier.string());
    EXPECT_EQ(session.saveAsPath, earlier.string());
    EXPECT_EQ(session.history.historyDepth, 2);
    // The run's folder holds its lock and the earlier picture, nothing more.
    const fs::path intermediates = fs::path(currentBefore).parent_path();
    EXPECT_EQ(std::distance(fs::directory_iterator(intermediates), fs::directory_iterator{}), 2);
    EXPECT_TRUE(fs::exists(intermediates / kRunLockName));
}

TEST_F(OpenPicture, OverlongPathIsRefusedAndNothingChanges) {
    session.picturePath = "earlier.png";
    session.currentPath = "earlier.dib";
    const std::string path = (folder.path() / std::string(300, 'p')).string() + ".png";
    const OpenOutcome outcome = openPicture(session, path);
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"the file path is longer than 259 characters",
                                        "failed to open the image file not supported"}));
    EXPECT_EQ(session.picturePath, "earlier.png");
    EXPECT_EQ(session.currentPath, "earlier.dib");
    EXPECT_EQ(session.currentInfo.state, kStateNoPicture);
}

struct ProbeCase {
    int bitsPerPixel;
    const char* mime;
};

class ProbeDepth : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeDepth, RecordsTheDepthThePictureOpensAs) {
    TempDir folder;
    const int depth = GetParam().bitsPerPixel;
    const DibImage picture =
        depth == 24 ? makeTrueColorImage(5, 3, [](int x, int y) { return x * 50 + y * 9000; })
                    : makeIndexedImage(5, 3, depth, {0x000000, 0xFFFFFF},
                                       [](int x, int y) { return (x + y) % 2; });
    const fs::path path = savedPicture(folder, "p", picture, GetParam().mime);
    ImageInfo info;
    info.bitsPerPixel = 99;
    EXPECT_EQ(probePicture(info, path.string()), 0);
    EXPECT_EQ(info.bitsPerPixel, depth);
}

INSTANTIATE_TEST_SUITE_P(Depths, ProbeDepth,
                         ::testing::Values(ProbeCase{1, "image/bmp"}, ProbeCase{4, "image/png"},
                                           ProbeCase{8, "image/tiff"}, ProbeCase{24, "image/png"}));

TEST(ProbePicture, UnreadableFileKeepsTheOldDepthAndStillPasses) {
    TempDir folder;
    writeFileBytes(folder / "junk.jpg", {1, 2, 3, 4});
    ImageInfo info;
    info.bitsPerPixel = 8;
    EXPECT_EQ(probePicture(info, (folder / "junk.jpg").string()), 0);
    EXPECT_EQ(probePicture(info, (folder / "absent.jpg").string()), 0);
    EXPECT_EQ(info.bitsPerPixel, 8);
    EXPECT_EQ(probePicture(info, ""), 1);
    EXPECT_EQ(probePicture(info, std::string(260, 'x')), 1);
}

} // namespace
} // namespace vellora::test
