// The command line and the desktop dispatcher run the same registry rows: a step gives the
// bytes the menu command gives, and a command with nothing to do leaves the picture as it was.
#include "cliProcess.h"
#include "core/session.h"
#include "imageio/pictureLibrary.h"
#include "shell/commandTable.h"
#include "shell/dispatcher.h"
#include "shell/shellServices.h"
#include "shell/shellSetup.h"
#include "support/acceptingWindow.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

DibImage decoded(const fs::path& path) {
    DibImage image;
    std::string error;
    EXPECT_TRUE(imageio::loadPicture(path, image, error)) << path << ": " << error;
    return image;
}

// More than 256 colours, so a median cut has work to do.
DibImage manyColors() {
    return makeTrueColorImage(48, 40, [](int x, int y) {
        return std::uint32_t(x * 5) << 16 | std::uint32_t(y * 6) << 8 | std::uint32_t(x ^ y) * 3;
    });
}

class RegistryFaces : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory(work());
        fs::create_directory(temp());
        std::string error;
        ASSERT_TRUE(
            imageio::savePicture(work() / "in.bmp", manyColors(), "image/bmp", 100, 24, error))
            << error;
    }
    fs::path work() const { return root_.path() / "work"; }
    fs::path temp() const { return root_.path() / "tmp"; }

    // The picture the desktop program holds after `commandId` on in.bmp with `block`.
    DibImage throughDispatcher(int commandId, const ParameterBlock& block) {
        setUpShell();
        RecordingFrontend frontend;
        Session session(frontend);
        AcceptingWindow window;
        Dispatcher dispatcher(session, window, defaultShellServices());
        dispatcher.initialise();
        window.chosen = {(work() / "in.bmp").string()};
        EXPECT_TRUE(dispatcher.dispatch(kCmdOpen));
        session.workingBlock = block;
        EXPECT_TRUE(dispatcher.dispatch(commandId));
        EXPECT_EQ(frontend.messages, std::vector<Message>{});
        return decoded(session.currentPath);
    }

    TempDir root_;
};

TEST_F(RegistryFaces, ColorStepReducesAsColorProcessingDoes) {
    const CliResult result = runCli(
        {"--set", "colorChoice=7,1,9,0", "in.bmp", "color", "-o", "out.bmp"}, work(), temp());
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    ParameterBlock block = defaultParameterBlock();
    block.colorChoice[0] = 7; // median cut to 256 colours
    const DibImage desktop = throughDispatcher(kCmdColorProcessing, block);
    const DibImage cli = decoded(work() / "out.bmp");
    EXPECT_EQ(cli.bitsPerPixel, 8);
    EXPECT_EQ(cli.bitsPerPixel, desktop.bitsPerPixel);
    EXPECT_EQ(cli.data, desktop.data);
}

TEST_F(RegistryFaces, WholeTurnsLeaveThePictureAsItWas) {
    const DibImage before = decoded(work() / "in.bmp");
    for (const char* angle : {"360", "-360", "720"}) {
        const CliResult result = runCli(
            {"--set", std::string("rotateAngle=") + angle, "in.bmp", "rotate", "-o", "out.bmp"},
            work(), temp());
        ASSERT_EQ(result.exitStatus, 0) << angle << ": " << result.err;
        EXPECT_EQ(result.err, "") << angle;
        EXPECT_EQ(decoded(work() / "out.bmp").data, before.data) << angle;
    }
}

TEST_F(RegistryFaces, InvertToThirtyTwoBits) {
    const CliResult result = runCli(
        {"--set", "invertDepthIndex=2", "in.bmp", "invert", "-o", "out.bmp"}, work(), temp());
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const DibImage inverted = decoded(work() / "out.bmp");
    EXPECT_EQ(inverted.bitsPerPixel, 32);
    EXPECT_EQ(rgbAt(inverted, 3, 2), ~rgbAt(decoded(work() / "in.bmp"), 3, 2) & 0xFFFFFFu);
}

} // namespace
} // namespace vellora::test
