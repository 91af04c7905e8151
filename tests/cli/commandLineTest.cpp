// Parsing of the command line, the message lines and the clean-up after a signal.
#include "cli/commandLine.h"
#include "cli/cliFrontend.h"
#include "cli/parameterSetup.h"
#include "cli/runSummary.h"
#include "cli/signalCleanup.h"
#include "core/intermediateFiles.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> stepNames(const cli::CliRequest& request) {
    std::vector<std::string> names;
    for (const CommandSpec* step : request.steps)
        names.emplace_back(step->step);
    return names;
}

TEST(CommandLine, OptionsMayStandAnywhereAndStepsKeepTheirOrder) {
    const std::vector<std::string> arguments{
        "--set",   "saveQuality=5", "in.png", "flip-vertical",    "-o",
        "out.png", "rotate-left",   "--set",  "saveDepthIndex=1", "rotate-180"};
    cli::CliRequest request;
    std::string error;
    ASSERT_TRUE(cli::parseCommandLine(arguments, request, error)) << error;
    EXPECT_EQ(request.input, "in.png");
    EXPECT_EQ(stepNames(request),
              (std::vector<std::string>{"flip-vertical", "rotate-left", "rotate-180"}));
    EXPECT_EQ(request.settings, (std::vector<cli::FieldSetting>{{"saveQuality", -1, "5"},
                                                                {"saveDepthIndex", -1, "1"}}));
    ASSERT_EQ(request.outputs.size(), 1u);
    EXPECT_EQ(request.outputs[0].output->option, "-o");
    EXPECT_EQ(request.outputs[0].path, "out.png");
    EXPECT_EQ(request.asked, cli::Asked::run);
}

TEST(CommandLine, DoubleDashLetsAnInputStartWithADash) {
    const std::vector<std::string> arguments{"--", "-picture.png", "truecolor"};
    cli::CliRequest request;
    std::string error;
    ASSERT_TRUE(cli::parseCommandLine(arguments, request, error)) << error;
    EXPECT_EQ(request.input, "-picture.png");
    EXPECT_EQ(stepNames(request), std::vector<std::string>{"truecolor"});
}

TEST(CommandLine, HelpWinsOverEverythingAfterIt) {
    const std::vector<std::string> arguments{"--help", "unknown-step-here"};
    cli::CliRequest request;
    std::string error;
    ASSERT_TRUE(cli::parseCommandLine(arguments, request, error));
    EXPECT_EQ(request.asked, cli::Asked::help);
}

// Shorthands and --set land in the order given; --colors changes only the decrease value of
// colorChoice, the one the colour processing's decrease method reads.
TEST(CommandLine, ShorthandsAndSetApplyInTurn) {
    const std::vector<std::string> arguments{
        "x",     "--set", "colorChoice=5,1,2,1", "--colors", "128",  "--tile",
        "7",     "--set", "tilePixelHeight=3",   "--grout",  "0",    "--grout-gray",
        "white", "--set", "vSlitGrayIndex=2",    "-o",       "y.png"};
    cli::CliRequest request;
    std::string error;
    ASSERT_TRUE(cli::parseCommandLine(arguments, request, error)) << error;
    RecordingFrontend frontend;
    Session session(frontend);
    ASSERT_TRUE(cli::prepareParameterBlock(session, request, error)) << error;
    const ParameterBlock& block = session.workingBlock;
    EXPECT_EQ(block.colorMethod, 0u);
    EXPECT_EQ(
        std::vector<std::uint32_t>(std::begin(block.colorChoice), std::end(block.colorChoice)),
        (std::vector<std::uint32_t>{6, 1, 2, 1}));
    EXPECT_EQ(block.tilingPaletteClass, 0u);
    EXPECT_EQ(block.tilingMedianIndex, 6u);
    EXPECT_EQ(block.tilingSizeMethod, 1u);
    EXPECT_EQ(block.tilePixelWidth, 7);
    EXPECT_EQ(block.tilePixelHeight, 3);
    EXPECT_EQ(block.slitPixelWidth, 0);
    EXPECT_EQ(block.hSlitGrayIndex, 0u);
    EXPECT_EQ(block.vSlitGrayIndex, 2u);
}

// Default tiles are 9 pixels with a 1-pixel slit: a 20 x 10 picture holds 2 x 1 of them, the
// second column cut short.
TEST(RunSummary, CountsTilesOrPixelsAndTheColoursUsed) {
    TempDir folder;
    const DibImage image = makeIndexedImage(20, 10, 8, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF},
                                            [](int x, int y) { return (x + y) % 3; });
    RecordingFrontend frontend;
    Session session(frontend);
    session.currentPath = (folder / "picture.bmp").string();
    ASSERT_EQ(writeBitmapFile(frontend, session.currentPath, image), 0);
    session.currentInfo.width = 20;
    session.currentInfo.height = 10;
    session.workingBlock = defaultParameterBlock();
    EXPECT_EQ(cli::runSummary(session, true, {"t.txt", "a.png"}),
              "done: 2 x 1 tiles, 3 colours; wrote t.txt, a.png");
    EXPECT_EQ(cli::runSummary(session, false, {"a.png"}),
              "done: 20 x 10 pixels, 3 colours; wrote a.png");
    session.currentPath = (folder / "gone.bmp").string();
    EXPECT_EQ(cli::runSummary(session, false, {"a.png"}), "done: 20 x 10 pixels; wrote a.png");
    EXPECT_TRUE(frontend.messages.empty());
}

struct BadLine {
    std::vector<std::string> arguments;
    std::string error;
};

class CommandLineRefusal : public ::testing::TestWithParam<BadLine> {};

TEST_P(CommandLineRefusal, SaysWhy) {
    cli::CliRequest request;
    std::string error;
    EXPECT_FALSE(cli::parseCommandLine(GetParam().arguments, request, error));
    EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineRefusal,
    ::testing::Values(BadLine{{"--par"}, "--par needs a value"},
                      BadLine{{"--par", "a.par", "--par", "b.par", "x"}, "--par given twice"},
                      BadLine{{"--par", "", "x"}, "--par needs a file name"},
                      BadLine{{"x", "--set", "=5"}, "--set needs NAME=VALUE, got \"=5\""},
                      BadLine{{"x", "-o", ""}, "-o needs a file name"},
                      BadLine{{""}, "the input file name is empty"},
                      BadLine{{"x", "twirl"}, "unknown step \"twirl\""},
                      BadLine{{"--"}, "no input picture given"}));

// A stream whose text the test can read back.
class CapturedStream {
  public:
    CapturedStream() : file_(std::tmpfile()) {}
    ~CapturedStream() { std::fclose(file_); }
    std::FILE* get() const { return file_; }
    std::string text() const {
        std::fflush(file_);
        std::string all;
        std::rewind(file_);
        for (int c; (c = std::fgetc(file_)) != EOF;)
            all.push_back(char(c));
        return all;
    }

  private:
    std::FILE* file_;
};

TEST(CliFrontend, WritesOneCaptionedLinePerMessageAndNoBarOffATerminal) {
    CapturedStream stream;
    {
        cli::CliFrontend frontend(stream.get(), false);
        frontend.setProgressVisible(true);
        frontend.setProgressPosition(40);
        frontend.showMessage("error", "failed to open the file");
        frontend.showMessage("", "failed to make the palette file");
        frontend.setStatusText("    width x height : 1 x 1, bits per pixel : 8");
        frontend.setProgressVisible(false);
    }
    EXPECT_EQ(stream.text(), "error: failed to open the file\nfailed to make the palette file\n");
}

TEST(CliFrontend, ProgressBarIsErasedBeforeAMessage) {
    CapturedStream stream;
    {
        cli::CliFrontend frontend(stream.get(), true, {});
        frontend.setLabel("tiling");
        frontend.setProgressVisible(true);
        frontend.setProgressPosition(50);
        frontend.showMessage("alert", "x");
        frontend.setProgressVisible(false);
    }
    const std::string text = stream.text();
    const std::size_t message = text.find("alert: x\n");
    ASSERT_NE(message, std::string::npos);
    EXPECT_NE(text.find("\rtiling [####################                    ] 50%"),
              std::string::npos);
    // The line the message starts on was blanked and returned to its start first.
    ASSERT_GT(message, 0u);
    EXPECT_EQ(text[message - 1], '\r');
    EXPECT_EQ(text.back(), '\r'); // the bar leaves no text behind once hidden
}

TEST(CliFrontend, AnOperationQuickerThanTheDelayDrawsNoProgress) {
    CapturedStream stream;
    {
        cli::CliFrontend frontend(stream.get(), true, std::chrono::hours(1));
        frontend.setProgressVisible(true);
        frontend.setProgressPosition(70);
        frontend.setProgressVisible(false);
    }
    EXPECT_EQ(stream.text(), "");
}

TEST(SignalCleanup, EmptiesAndRemovesThePrivateFolderWhateverItHolds) {
    TempDir root;
    const fs::path folder = root / "run";
    fs::create_directory(folder);
    // Gaps in the numbering, and the library's hidden temporary of a file being written.
    for (int n : {0, 1, 5, 999})
        writeFileBytes(folder / intermediateFileName(n), {1, 2, 3});
    writeFileBytes(folder / ".__VL_006.dib.Ab12Cd", {1});
    cli::armSignalCleanup(folder);
    cli::removeArmedFolder();
    cli::disarmSignalCleanup();
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(fs::exists(root.path()));
}

TEST(SignalCleanup, ManyFilesAreAllRemoved) {
    TempDir root;
    const fs::path folder = root / "run";
    fs::create_directory(folder);
    // More entries than one directory read returns.
    for (int n = 0; n < 1000; ++n)
        writeFileBytes(folder / intermediateFileName(n), {1});
    cli::armSignalCleanup(folder);
    cli::removeArmedFolder();
    cli::disarmSignalCleanup();
    EXPECT_FALSE(fs::exists(folder));
}

TEST(SignalCleanup, DisarmedDoesNothing) {
    TempDir root;
    const fs::path folder = root / "run";
    fs::create_directory(folder);
    writeFileBytes(folder / intermediateFileName(0), {1});
    cli::armSignalCleanup(folder);
    cli::disarmSignalCleanup();
    cli::removeArmedFolder();
    EXPECT_TRUE(fs::exists(folder / intermediateFileName(0)));
}

} // namespace
} // namespace vellora::test
