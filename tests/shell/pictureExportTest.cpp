// Save and Save As: encoder by extension, the depth choice and what a save changes.
#include "shell/pictureExport.h"
#include "core/runFolders.h"
#include "imageio/pictureLibrary.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

DibImage grayRampPicture() {
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back(std::uint32_t(i) * 0x010101);
    return makeIndexedImage(11, 6, 8, palette, [](int x, int y) { return x * 20 + y; });
}

DibImage loadOrFail(const fs::path& path) {
    DibImage image;
    std::string error;
    EXPECT_TRUE(imageio::loadPicture(path, image, error)) << path << ": " << error;
    return image;
}

void expectSameColors(const DibImage& actual, const DibImage& expected) {
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            ASSERT_EQ(rgbAt(actual, x, y), rgbAt(expected, x, y)) << x << "," << y;
}

// What `run` returns, run in a child process that is not root: root may write into any folder,
// so a folder without write permission only refuses a user without that privilege.
std::string runUnprivileged(const std::function<std::string()>& run) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        const bool dropped = ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
        const std::string text = dropped ? run() : "privileges not dropped";
        const bool sent = ::write(pipeEnds[1], text.data(), text.size()) == ssize_t(text.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char piece[256];
    for (ssize_t n; (n = ::read(pipeEnds[0], piece, sizeof piece)) > 0;) text.append(piece, n);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return text;
}

class SavePicture : public ::testing::Test {
  protected:
    void SetUp() override {
        setCurrentPicture(session, picture);
        session.history.historyDepth = 3;
        session.picturePath = (folder / "picture.png").string();
    }

    RecordingFrontend frontend;
    Session session{frontend};
    TempDir folder;
    DibImage picture = grayRampPicture();
};

TEST_F(SavePicture, TrueColorChoiceConvertsTheIntermediateFileInPlace) {
    session.workingBlock.saveDepthIndex = 1;
    const std::string intermediate = session.currentPath;
    ASSERT_EQ(savePictureHandler(session), 0);
    EXPECT_TRUE(frontend.messages.empty());
    EXPECT_EQ(session.currentPath, intermediate);
    // Nothing else is left in the intermediate folder but the run's lock.
    const fs::path intermediateFolder = fs::path(intermediate).parent_path();
    EXPECT_EQ(std::count_if(fs::directory_iterator(intermediateFolder), fs::directory_iterator(),
                            [](const fs::directory_entry& entry) {
                                return entry.path().filename() != kRunLockName;
                            }),
              1);
    const DibImage converted = readImage(intermediate);
    EXPECT_EQ(converted.bitsPerPixel, 24);
    expectSameColors(converted, picture);
    const DibImage saved = loadOrFail(session.picturePath);
    EXPECT_EQ(saved.bitsPerPixel, 24);
    expectSameColors(saved, picture);
    EXPECT_FALSE(session.modified());
    EXPECT_EQ(session.currentInfo.state, kStateSaved);
    EXPECT_EQ(session.dialogInfo.state, kStateSaved);
}

TEST_F(SavePicture, SourceDepthChoiceKeepsTheIntermediateFile) {
    session.workingBlock.saveDepthIndex = 0;
    const std::vector<std::uint8_t> before = readFileBytes(session.currentPath);
    ASSERT_EQ(savePictureHandler(session), 0);
    EXPECT_EQ(readFileBytes(session.currentPath), before);
    const DibImage saved = loadOrFail(session.picturePath);
    EXPECT_EQ(saved.bitsPerPixel, 8);
    expectSameColors(saved, picture);
    EXPECT_FALSE(session.modified());
}

class SaveRefused : public SavePicture, public ::testing::WithParamInterface<std::string> {};

TEST_P(SaveRefused, FailsWithItsMessageAndChangesNothing) {
    session.workingBlock.saveDepthIndex = 1; // would convert in place if the save went ahead
    const std::vector<std::uint8_t> before = readFileBytes(session.currentPath);
    session.saveAsPath = (folder / GetParam()).string();
    const std::string picturePath = session.picturePath;
    EXPECT_EQ(savePictureAsHandler(session), 1);
    ASSERT_EQ(frontend.messages.size(), 1u);
    const std::string why = "failed to save a file\ncannot save \"" + session.saveAsPath + "\": ";
    EXPECT_EQ(frontend.messages[0].text.rfind(why, 0), 0u) << frontend.messages[0].text;
    EXPECT_EQ(frontend.messages[0].caption, "error");
    EXPECT_EQ(readFileBytes(session.currentPath), before);
    EXPECT_FALSE(fs::exists(session.saveAsPath));
    EXPECT_EQ(session.picturePath, picturePath);
    EXPECT_EQ(session.history.historyDepth, 3);
    EXPECT_EQ(session.currentInfo.state, kStateZoom);
}

INSTANTIATE_TEST_SUITE_P(BadDestinations, SaveRefused,
                         ::testing::Values("out.JPG", "out.Png", "out.tif", "out", "out.bmp.bak",
                                           "missing/out.png"));

TEST_F(SavePicture, SaveAsWritesTheFormatOfTheNewNameAndAdoptsIt) {
    session.saveAsPath = (folder / "copy.tiff").string();
    ASSERT_EQ(savePictureAsHandler(session), 0);
    EXPECT_EQ(session.picturePath, session.saveAsPath);
    imageio::PictureInfo info;
    std::string error;
    ASSERT_TRUE(imageio::probePictureFile(session.saveAsPath, info, error)) << error;
    EXPECT_EQ(info.format, "tiff");
    expectSameColors(loadOrFail(session.saveAsPath), picture);
    EXPECT_EQ(session.currentInfo.state, kStateSaved);
}

TEST_F(SavePicture, OverlongDestinationIsRefusedWithAReason) {
    session.saveAsPath = (folder.path() / std::string(270, 'n')).string() + ".png";
    EXPECT_EQ(savePictureAsHandler(session), 1);
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"the file path is longer than 259 characters",
                                        "failed to save a file"}));
}

TEST_F(SavePicture, FolderWithoutWritePermissionSaysPermissionWasDenied) {
    // The picture to save lies where the unprivileged child can read it.
    const fs::path readable = folder / "current.dib";
    fs::copy_file(session.currentPath, readable);
    session.currentPath = readable.string();
    session.workingBlock.saveDepthIndex = 0;
    const fs::path locked = folder / "locked";
    fs::create_directory(locked);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(readable.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    session.saveAsPath = (locked / "out.png").string();
    const std::string shown = runUnprivileged([&] {
        savePictureAsHandler(session);
        return frontend.messages.size() == 1 ? frontend.messages[0].text : "not one message";
    });
    EXPECT_EQ(shown, "failed to save a file\ncannot save \"" + session.saveAsPath +
                         "\": Permission denied");
    EXPECT_TRUE(fs::is_empty(locked));
}

TEST_F(SavePicture, MissingIntermediateFileFails) {
    std::filesystem::remove(session.currentPath);
    session.workingBlock.saveDepthIndex = 0;
    EXPECT_EQ(savePictureHandler(session), 1);
    EXPECT_EQ(frontend.texts(),
              std::vector<std::string>{"failed to save a file\ncannot load \"" + session.currentPath +
                                       "\": No such file or directory"});
    EXPECT_FALSE(fs::exists(session.picturePath));
    EXPECT_TRUE(session.modified());
}

TEST_F(SavePicture, TrueColorChoiceOnAMissingFileShowsTheReadFailureFirst) {
    std::filesystem::remove(session.currentPath);
    session.workingBlock.saveDepthIndex = 1;
    EXPECT_EQ(savePictureHandler(session), 1);
    EXPECT_EQ(frontend.texts(),
              (std::vector<std::string>{"failed to open the file\ncannot read \"" +
                                            session.currentPath + "\": No such file or directory",
                                        "failed to save a file"}));
}

} // namespace
} // namespace vellora::test
