// Parsing of the command line, the message lines and the clean-up after a signal.
#include "cli/commandLine.h"
#include "cli/cliFrontend.h"
#include "cli/helpText.h"
#include "cli/parameterSetup.h"
#include "cli/runSummary.h"
#include "cli/signalCleanup.h"
#include "cli/suggestion.h"
#include "core/intermediateFiles.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

cli::CliRequest parsed(const std::vector<std::string>& arguments) {
    cli::CliRequest request;
    std::string error;
    EXPECT_TRUE(cli::parseCommandLine(arguments, request, error)) << error;
    return request;
}

// Design options gather as given and change only the design settings they name.
TEST(CommandLine, OptionsMayStandAnywhereAndStepsKeepTheirOrder) {
    const cli::CliRequest request =
        parsed({"--set", "saveQuality=5", "--exclude", "0,5", "in.png", "flip-vertical", "--match",
                "ciede2000", "-o", "out.png", "rotate-left", "--tile-dither", "--exclude", "9,255",
                "--set", "saveDepthIndex=1", "rotate-180", "--keep-palette", "--quiet"});
    EXPECT_EQ(request.input, "in.png");
    std::vector<std::string_view> steps;
    for (const CommandSpec* step : request.steps)
        steps.push_back(step->step);
    EXPECT_EQ(steps, (std::vector<std::string_view>{"flip-vertical", "rotate-left", "rotate-180"}));
    EXPECT_EQ(request.settings, (std::vector<cli::FieldSetting>{{"saveQuality", -1, "5"},
                                                                {"saveDepthIndex", -1, "1"}}));
    ASSERT_EQ(request.outputs.size(), 1u);
    EXPECT_EQ(std::string(request.outputs[0].output->option) + " " + request.outputs[0].path,
              "-o out.png");
    EXPECT_TRUE(request.asked == cli::Asked::run && request.quiet);
    DesignSettings settings;
    settings.excluded = {3};
    cli::applyDesignOptions(request.design, settings);
    EXPECT_EQ(settings.excluded, (std::vector<int>{3, 0, 5, 9, 255}));
    EXPECT_TRUE(settings.match == ColorMatch::Ciede2000 && settings.tileDither &&
                settings.keepPalette);
    cli::applyDesignOptions(parsed({"in.png"}).design, settings);
    EXPECT_EQ(settings.match, ColorMatch::Ciede2000);
    EXPECT_EQ(settings.excluded.size(), 5u);
    cli::applyDesignOptions(parsed({"in.png", "--match", "rgb"}).design, settings);
    EXPECT_TRUE(settings.match == ColorMatch::Rgb && settings.tileDither && settings.keepPalette);
    // "--" lets an input start with a dash; --help wins over everything after it.
    EXPECT_EQ(parsed({"--", "-picture.png", "truecolor"}).input, "-picture.png");
    EXPECT_EQ(parsed({"--help", "unknown-step-here"}).asked, cli::Asked::help);
}

// --colors changes only colorChoice's decrease value, the one the decrease method reads.
TEST(CommandLine, ShorthandsAndSetApplyInTurn) {
    using Fields = std::array<std::uint32_t, 10>;
    const std::pair<std::vector<std::string>, Fields> cases[] = {
        // colorChoice 0 … 3, colorMethod, tilingPaletteClass, tilingMedianIndex,
        // tilingSizeMethod, hSlitGrayIndex, vSlitGrayIndex
        {{"--colors", "128", "--tile", "7", "--set", "tilePixelHeight=3", "--grout", "0",
          "--grout-gray", "white", "--set", "vSlitGrayIndex=2"},
         {6, 1, 2, 1, 0, 0, 6, 1, 0, 2}},
        {{"--colors", "32", "--tile", "12x10", "--grout", "65535", "--grout-gray", "deep-gray"},
         {4, 1, 2, 1, 0, 0, 4, 1, 4, 4}}};
    for (const auto& [options, fields] : cases) {
        // The fields the shorthands set start elsewhere than their defaults.
        std::vector<std::string> arguments{"x", "-o", "y.png"};
        for (const char* setting : {"colorChoice=5,1,2,1", "colorMethod=2", "tilingConvert=0",
                                    "tilingPaletteClass=2", "tilingSizeMethod=0"})
            arguments.insert(arguments.end(), {"--set", setting});
        arguments.insert(arguments.end(), options.begin(), options.end());
        RecordingFrontend frontend;
        Session session(frontend);
        std::string error;
        ASSERT_TRUE(cli::prepareParameterBlock(session, parsed(arguments), error)) << error;
        const ParameterBlock& b = session.workingBlock;
        EXPECT_EQ((Fields{b.colorChoice[0], b.colorChoice[1], b.colorChoice[2], b.colorChoice[3],
                          b.colorMethod, b.tilingPaletteClass, b.tilingMedianIndex,
                          b.tilingSizeMethod, b.hSlitGrayIndex, b.vSlitGrayIndex}),
                  fields)
            << options[1];
        EXPECT_EQ(b.tilingConvert, 1u);
        EXPECT_EQ(std::tuple(b.tilePixelWidth, b.tilePixelHeight, b.slitPixelWidth),
                  options[1] == "128" ? std::tuple(7, 3, 0)
                                      : std::tuple(12, 10, 65535)); // up to the range's end
    }
}

// Edits by hand: "crp" is 1 from "crop", 2 from "chip"; "rotat-lef" 2 from "rotate-left"; "abcde" 2
// from "abxye", 3 from "axyze". A prefix match either way needs three letters past the dashes.
TEST(Suggestion, NearestNameByEditsThenByPrefix) {
    const struct {
        std::string_view word;
        std::vector<std::string_view> names;
        std::string_view nearest;
    } cases[] = {
        {"crp", {"chip", "crop"}, "crop"}, {"rotat-lef", {"rotate-left"}, "rotate-left"},
        {"TILNG", {"tiling"}, "tiling"},   {"abcde", {"axyze", "abxye"}, "abxye"},
        {"abcde", {"axyze"}, ""},          {"--til", {"--tiling-table"}, "--tiling-table"},
        {"--ti", {"--tiling-table"}, ""},  {"tilingfoo-bar", {"tiling"}, "tiling"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::nearestName(c.word, c.names), c.nearest) << c.word;
}

// Steps read fields within those listed: crop's cropRect is cropLeft … cropTop, and no neighbour.
TEST(HelpText, CropReadsItsRectangleAndItsFourParts) {
    std::vector<std::string_view> crop;
    for (const cli::FieldGroup& group : cli::fieldGroups())
        for (const ParameterField* field : group.fields)
            if (group.step == "crop") crop.push_back(field->name);
    EXPECT_EQ(crop, (std::vector<std::string_view>{"cropRect", "cropLeft", "cropBottom",
                                                   "cropRight", "cropTop"}));
}

// Default tiles are 9 pixels with a 1-pixel slit: a 20 x 10 picture holds 2 x 1 of them, the
// second column cut short. Its colours differ in green or in blue; the third is the first pixel.
TEST(RunSummary, CountsTilesOrPixelsAndTheColoursUsed) {
    RecordingFrontend frontend;
    Session session(frontend);
    setCurrentPicture(session,
                      makeIndexedImage(20, 10, 8, {0x000000, 0x00FF00, 0x0000FF},
                                       [](int x, int y) { return x + y ? (x + y) % 2 : 2; }));
    session.workingBlock = defaultParameterBlock();
    EXPECT_EQ(cli::runSummary(session, true, {"t.txt", "a.png"}),
              "done: 2 x 1 tiles, 3 colours; wrote t.txt, a.png");
    EXPECT_EQ(cli::runSummary(session, false, {"a.png"}),
              "done: 20 x 10 pixels, 3 colours; wrote a.png");
    session.currentPath += ".gone";
    EXPECT_EQ(cli::runSummary(session, false, {"a.png"}), "done: 20 x 10 pixels; wrote a.png");
}

// A stream whose text the test can read back.
struct CapturedStream {
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&bytes, &size);
    ~CapturedStream() {
        std::fclose(file);
        std::free(bytes);
    }
    std::string text() const {
        std::fflush(file);
        return {bytes, size};
    }
};

// Off a terminal: one captioned line per message and no bar. On one, the bar is erased before a
// message; a bar quicker than the delay draws nothing.
TEST(CliFrontend, MessageLinesAndTheProgressBar) {
    CapturedStream plain, stream, quick;
    {
        cli::CliFrontend frontend(plain.file, false), terminal(stream.file, true, {});
        cli::CliFrontend slow(quick.file, true, std::chrono::hours(1));
        frontend.setProgressVisible(true);
        frontend.setProgressPosition(40);
        frontend.showMessage("error", "failed to open the file");
        frontend.showMessage("", "failed to make the palette file");
        frontend.setStatusText("    width x height : 1 x 1, bits per pixel : 8");
        frontend.setProgressVisible(false);
        terminal.setLabel("tiling");
        terminal.setProgressVisible(true);
        terminal.setProgressPosition(50);
        terminal.showMessage("alert", "x");
        terminal.setProgressVisible(false);
        slow.setProgressVisible(true);
        slow.setProgressPosition(70);
        slow.setProgressVisible(false);
    }
    EXPECT_EQ(plain.text(), "error: failed to open the file\nfailed to make the palette file\n");
    EXPECT_EQ(quick.text(), "");
    // The bar at 0 % and at 50 %; before the message it is blanked, and drawn again after it;
    // once hidden it leaves blanks, the cursor at the start of the line.
    const std::string bar = "\rtiling [" + std::string(20, '#') + std::string(20, ' ') + "] 50%";
    const std::string blank = "\r" + std::string(bar.size(), ' ') + "\r";
    EXPECT_EQ(stream.text(), "\rtiling [" + std::string(40, ' ') + "] 0%" + bar + blank +
                                 "alert: x\n" + bar + blank);
}

// Gaps in the numbering, more entries than one directory read returns, and the library's
// hidden temporary of a file being written: all go; disarmed, nothing does.
TEST(SignalCleanup, EmptiesAndRemovesThePrivateFolderOnlyWhenArmed) {
    TempDir root;
    const fs::path folder = root / "run";
    fs::create_directory(folder);
    for (int n = 0; n < 1000; ++n)
        writeFileBytes(folder / intermediateFileName(n == 999 ? 5000 : n), {1});
    writeFileBytes(folder / ".__VL_006.dib.Ab12Cd", {1});
    cli::armSignalCleanup(folder);
    cli::disarmSignalCleanup();
    cli::removeArmedFolder();
    EXPECT_TRUE(fs::exists(folder / intermediateFileName(0)));
    cli::armSignalCleanup(folder);
    cli::removeArmedFolder();
    cli::disarmSignalCleanup();
    EXPECT_TRUE(!fs::exists(folder) && fs::exists(root.path()));
}

} // namespace
} // namespace vellora::test
