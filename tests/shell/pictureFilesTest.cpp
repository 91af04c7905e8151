// Opening and saving pictures: the probe, the first intermediate file, the encoder chosen by
// extension, the depth choice, and what a failed open or save leaves.
#include "shell/pictureConvert.h"
#include "shell/pictureExport.h"
#include "shell/pictureImport.h"

#include "core/runFolders.h"
#include "imageio/pictureLibrary.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

// 11 x 6 at 8 bpp, a different gray in every pixel.
DibImage grayRamp() {
    std::vector<std::uint32_t> palette;
    for (std::uint32_t i = 0; i < 256; ++i)
        palette.push_back(i * 0x010101);
    return makeIndexedImage(11, 6, 8, palette, [](int x, int y) { return x * 20 + y; });
}
DibImage loaded(const fs::path& path) {
    DibImage image;
    std::string error;
    EXPECT_TRUE(imageio::loadPicture(path, image, error)) << path << ": " << error;
    return image;
}
void expectSameColors(const DibImage& actual, const DibImage& expected) {
    ASSERT_EQ(actual.width * 1000 + actual.height, expected.width * 1000 + expected.height);
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            ASSERT_EQ(rgbAt(actual, x, y), rgbAt(expected, x, y)) << x << "," << y;
}
std::size_t entries(const fs::path& folder) {
    return std::size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class PictureFiles : public ::testing::Test {
  protected:
    RecordingFrontend frontend;
    Session session{frontend};
    TempDir folder;
    DibImage picture = grayRamp();
};

TEST_F(PictureFiles, OpenConvertsIntoTheFirstIntermediateFileAndResetsTheHistory) {
    std::string error;
    ASSERT_TRUE(imageio::savePicture(folder / "in.png", picture, "image/png", 100, 8, error));
    session.history.historyDepth = 4;
    int repaints = 0;
    const OpenOutcome outcome = openPicture(session, (folder / "in.png").string(), [&](Session& s) {
        ++repaints;
        s.currentInfo.zoomIndex = 6;
        EXPECT_EQ(s.currentInfo.state, kStateFit); // the view fits the new picture
    });
    EXPECT_EQ(outcome.result * 10 + repaints, 1);
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_EQ(session.currentInfo.state * 1000 + session.dialogInfo.state, kStateZoom * 1001);
    EXPECT_EQ(session.dialogInfo.zoomIndex, 6);
    EXPECT_EQ(session.currentInfo.bitsPerPixel, 8);
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(session.saveAsPath, (folder / "in.png").string());
    EXPECT_EQ(fs::path(session.currentPath).filename(), "__VL_000.dib");
    expectSameColors(readImage(session.currentPath), picture);

    // A picture that does not load leaves the earlier one current; the caller reports it.
    writeFileBytes(folder / "broken.gif", {'G', 'I', 'F', '8', '9', 'a', 0});
    const std::string current = session.currentPath;
    const OpenOutcome broken = openPicture(session, (folder / "broken.gif").string(),
                                           [&](Session&) { ++repaints; });
    EXPECT_EQ(broken.result * 10 + repaints, 11);
    EXPECT_FALSE(broken.reason.empty());
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_EQ(session.currentPath, current);
    EXPECT_EQ(session.picturePath, (folder / "in.png").string());
    EXPECT_EQ(entries(fs::path(current).parent_path()), 2u); // the lock and the earlier picture

    const std::string overlong = (folder.path() / std::string(300, 'p')).string() + ".png";
    EXPECT_EQ(openPicture(session, overlong).result, 1);
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{
                                    "the file path is longer than 259 characters",
                                    "failed to open the image file not supported"}));
}

TEST(PictureConvert, ExactLowerCaseExtensionsOnlyAndPathsUpTo259) {
    const char* const cases[][2] = {
        {"/p/a.bmp", "image/bmp"}, {"a.dib", "image/bmp"},   {"a.jpg", "image/jpeg"},
        {"a.jpeg", "image/jpeg"},  {"a.gif", "image/gif"},   {"a.png", "image/png"},
        {"a.tiff", "image/tiff"},  {"a.JPG", ""},            {"a.tif", ""},
        {"a.png.txt", ""},         {"a.", ""},               {"noExtension", ""},
        {"/dir.png/file", ""},     {"", ""}};
    for (const auto& [destination, mime] : cases)
        EXPECT_EQ(encoderMimeType(destination), mime) << destination;
    EXPECT_TRUE(isUsablePicturePath(std::string(259, 'a')));
    EXPECT_FALSE(isUsablePicturePath(std::string(260, 'a')) || isUsablePicturePath(""));
    EXPECT_EQ(clampedQuality(101), 100);
    EXPECT_EQ(clampedQuality(0), 0);
}

// 24 bpp converts the intermediate file in place before the save; "source" saves it as it is.
TEST_F(PictureFiles, SaveWritesTheChosenDepthAndMarksThePictureSaved) {
    for (std::uint32_t depthIndex : {0u, 1u}) {
        setCurrentPicture(session, picture);
        session.history.historyDepth = 3;
        session.picturePath = (folder / "picture.png").string();
        session.workingBlock.saveDepthIndex = depthIndex;
        const auto before = readFileBytes(session.currentPath);
        ASSERT_EQ(savePictureHandler(session), 0);
        EXPECT_TRUE(frontend.messages.empty());
        EXPECT_EQ(readFileBytes(session.currentPath) == before, depthIndex == 0);
        EXPECT_EQ(readImage(session.currentPath).bitsPerPixel, depthIndex == 0 ? 8 : 24);
        const DibImage saved = loaded(session.picturePath);
        EXPECT_EQ(saved.bitsPerPixel, depthIndex == 0 ? 8 : 24);
        expectSameColors(saved, picture);
        EXPECT_FALSE(session.modified());
        EXPECT_EQ(session.currentInfo.state * 1000 + session.dialogInfo.state, kStateSaved * 1001);
    }
    session.saveAsPath = (folder / "copy.tiff").string();
    ASSERT_EQ(savePictureAsHandler(session), 0);
    EXPECT_EQ(session.picturePath, session.saveAsPath);
    imageio::PictureInfo info;
    std::string error;
    ASSERT_TRUE(imageio::probePictureFile(session.saveAsPath, info, error)) << error;
    EXPECT_EQ(info.format, "tiff");
}

TEST_F(PictureFiles, RefusedSaveSaysWhyAndChangesNothing) {
    setCurrentPicture(session, picture);
    session.history.historyDepth = 3;
    session.picturePath = (folder / "picture.png").string();
    session.workingBlock.saveDepthIndex = 1; // would convert in place if the save went ahead
    const auto before = readFileBytes(session.currentPath);
    for (const char* name : {"out.JPG", "out.tif", "out", "out.bmp.bak", "missing/out.png"}) {
        frontend.clear();
        session.saveAsPath = (folder / name).string();
        EXPECT_EQ(savePictureAsHandler(session), 1);
        const std::string why = "failed to save a file\ncannot save \"" + session.saveAsPath;
        EXPECT_EQ(frontend.texts().at(0).rfind(why, 0), 0u) << frontend.texts().at(0);
        EXPECT_FALSE(fs::exists(session.saveAsPath));
    }
    EXPECT_EQ(readFileBytes(session.currentPath), before);
    EXPECT_EQ(session.picturePath, (folder / "picture.png").string());
    EXPECT_EQ(session.history.historyDepth, 3);
    EXPECT_EQ(session.currentInfo.state, kStateZoom);

    fs::remove(session.currentPath); // the read fails first, then the save
    frontend.clear();
    EXPECT_EQ(savePictureHandler(session), 1);
    EXPECT_EQ(frontend.texts(), (std::vector<std::string>{
                                    "failed to open the file\ncannot read \"" +
                                        session.currentPath + "\": No such file or directory",
                                    "failed to save a file"}));
    EXPECT_FALSE(fs::exists(session.picturePath));
    EXPECT_TRUE(session.modified());
}

} // namespace
} // namespace vellora::test
