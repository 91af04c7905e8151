// vellora-cli as a user runs it: real picture files in, real files out, opened again.
#include "cli/cliDocs.h"
#include "cliProcess.h"
#include "core/parameterFields.h"
#include "imageio/pictureLibrary.h"
#include "shell/commandTable.h"
#include "shell/parameterFile.h"
#include "support/testImages.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

const std::string kUsage = "usage: vellora-cli [--par FILE] [--set NAME=VALUE]... INPUT [STEP]...";

DibImage patternPicture(int width, int height) {
    return makeTrueColorImage(width, height, [](int x, int y) {
        return std::uint32_t(x * 7 % 256) << 16 | std::uint32_t(y * 11 % 256) << 8 | 0x35;
    });
}

struct CliEndToEnd : CliTest {
    void writePicture(const std::string& name, const DibImage& image, const char* mime) {
        std::string error;
        EXPECT_TRUE(imageio::savePicture(work() / name, image, mime, 90, image.bitsPerPixel, error))
            << error;
    }
};

struct UsageCase {
    std::vector<std::string> arguments;
    std::string message;
};

// Names the case by its command line in test listings.
void PrintTo(const UsageCase& c, std::ostream* out) {
    for (const std::string& argument : c.arguments)
        *out << argument << ' ';
}

class CliUsage : public CliEndToEnd, public ::testing::WithParamInterface<UsageCase> {};

// The message (and a suggestion's line), then the usage line, which names the outputs.
TEST_P(CliUsage, RefusesWithExitTwoAndTouchesNothing) {
    writePicture("in.png", patternPicture(4, 3), "image/png");
    writeFileBytes(work() / "table.txt", {'o', 'l', 'd'});
    fs::create_hard_link(work() / "table.txt", work() / "hard.txt");
    fs::create_symlink("table.txt", work() / "soft.txt");
    fs::create_symlink("new.csv", work() / "dangling.csv"); // writing it would make new.csv
    fs::create_symlink("loop.txt", work() / "loop.txt");
    const std::vector<std::string> entries = folderEntries(work());
    const CliResult result = run(GetParam().arguments);
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err.rfind(GetParam().message + "\n" + kUsage, 0), 0u) << result.err;
    EXPECT_EQ(std::ranges::count(result.err, '\n'),
              2 + std::ranges::count(GetParam().message, '\n'));
    EXPECT_NE(result.err.find(" [-o OUTPUT]"), std::string::npos);
    EXPECT_EQ(folderEntries(work()), entries);
    EXPECT_EQ(readText(work() / "table.txt"), "old");
    expectTempFolderEmpty();
}

// The refused command lines of tests/data/cli/usageErrors.txt.
std::vector<UsageCase> usageCases() {
    std::vector<UsageCase> cases;
    for (const std::string& line :
         split(readText(VELLORA_SOURCE_DIR "/tests/data/cli/usageErrors.txt"), '\n')) {
        if (line.starts_with('$')) {
            cases.emplace_back();
            for (const std::string& argument :
                 split(line.substr(std::min<size_t>(2, line.size())), ' '))
                cases.back().arguments.push_back(argument == "''" ? "" : argument);
        } else if (!cases.empty())
            cases.back().message += (cases.back().message.empty() ? "" : "\n") + line;
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(BadCommandLines, CliUsage, ::testing::ValuesIn(usageCases()));

// The tile line's names and pack sizes reach the shopping list (--pack for the rows without
// one); a tile line that does not read fails the run before anything is written.
TEST_F(CliEndToEnd, TheTileLineNamesTheTilesOrFailsTheRun) {
    // 90 x 60 pixels of four colour bands: 9 x 6 tiles at the default tile size.
    writePicture("bands.bmp",
                 makeIndexedImage(90, 60, 8, {0x102030, 0xf0e0d0, 0x20a040, 0xc02020},
                                  [](int x, int y) { return (x / 25 + y / 20) % 4; }),
                 "image/bmp");
    std::ofstream(work() / "bands.tiles")
        << "# four glazes\ncode,name,red,green,blue,pack\nN,Night,16,32,48,\n"
           "S,Sand,240,224,208,7\nL,Leaf,32,160,64,\nR,Rust,192,32,32,\n";
    const CliResult result = run(
        {"bands.bmp", "tiling", "--tiles", "bands.tiles", "--pack", "3", "--shopping", "shop.csv"});
    ASSERT_EQ(std::pair(result.exitStatus, result.err), std::pair(0, std::string())); // no summary
    std::string names; // name, code and pack size of each row
    for (const std::string& row : split(readText(work() / "shop.csv"), '\n')) {
        const std::vector<std::string> f = split(row, ',');
        names += f.at(1) + " " + f.at(2) + " " + f.at(8) + "; ";
    }
    EXPECT_EQ(names, "name code pack size; Night N 3; Sand S 7; Leaf L 3; Rust R 3; ");
    std::ofstream(work() / "bad.tiles") << "name,code,red,green,blue\nA,1,1,2,300\n";
    writeFileBytes(work() / "chart.pdf", {'o', 'l', 'd'});
    const CliResult bad = run(
        {"bands.bmp", "tiling", "--tiles", "bad.tiles", "--chart", "chart.pdf", "-o", "out.png"});
    EXPECT_EQ(bad.exitStatus, 1);
    EXPECT_EQ(bad.err, "error: tile line \"bad.tiles\": line 2, column 5 (blue): \"300\" is out "
                       "of range 0 to 255\n");
    EXPECT_EQ(readText(work() / "chart.pdf"), "old");
    EXPECT_FALSE(fs::exists(work() / "out.png"));
}

// VELLORA_SIMD is read first: a value naming no level ends the run before the input is looked at.
TEST_F(CliEndToEnd, AnUnknownVectorLevelEndsTheRunWithExitTwo) {
    const char* inherited = std::getenv("VELLORA_SIMD");
    const std::string kept = inherited ? inherited : "";
    setenv("VELLORA_SIMD", "bogus", 1);
    const CliResult result = run({"missing.bmp", "invert", "-o", "out.bmp"});
    inherited ? setenv("VELLORA_SIMD", kept.c_str(), 1) : unsetenv("VELLORA_SIMD");
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err, "VELLORA_SIMD must be baseline, avx2 or avx512, got \"bogus\"\n");
    EXPECT_EQ(folderEntries(work()), std::vector<std::string>{});
    expectTempFolderEmpty();
}

// The file gives the starting block; a later --set wins over it.
TEST_F(CliEndToEnd, ParameterFileGivesTheStartingBlock) {
    ParameterBlock block = defaultParameterBlock();
    block.saveDepthIndex = 1;
    SilentFrontend frontend;
    ASSERT_EQ(saveParameterFile(frontend, work() / "mine.par", {}, block, {}), 0);
    writePicture("in.png", makeIndexedImage(6, 6, 8, {0, 0xFF}, [](int x, int) { return x % 2; }),
                 "image/png");
    // Byte 28 of a bitmap file is its bits per pixel: 24 by the file, the picture's own 8 after.
    ASSERT_EQ(run({"--par", "mine.par", "in.png", "-o", "a.bmp"}).exitStatus, 0);
    EXPECT_EQ(readFileBytes(work() / "a.bmp").at(28), 24);
    ASSERT_EQ(
        run({"--par", "mine.par", "--set", "saveDepthIndex=0", "in.png", "-o", "b.bmp"}).exitStatus,
        0);
    EXPECT_EQ(readFileBytes(work() / "b.bmp").at(28), 8);
    // A lone step other than an inversion goes the usual way: stripes turned upside down stay.
    ASSERT_EQ(run({"a.bmp", "flip-vertical", "-o", "c.bmp"}).exitStatus, 0);
    EXPECT_EQ(readFileBytes(work() / "c.bmp"), readFileBytes(work() / "a.bmp"));
}

// A failing run (unloadable input, a step failing after a good one, a chart or shopping list made
// impossible by its dangling link) says why, writes no output and leaves an existing one alone.
TEST_F(CliEndToEnd, FailedRunWritesNothing) {
    writePicture("in.bmp", patternPicture(8, 8), "image/bmp");
    writeFileBytes(work() / "broken.png", {0x89, 'P', 'N', 'G', 1, 2, 3});
    writeFileBytes(work() / "out.bmp", {'o', 'l', 'd'});
    fs::create_symlink("missing/c.pdf", work() / "c.pdf");
    fs::create_symlink("missing/s.csv", work() / "s.csv");
    const struct {
        std::vector<std::string> arguments;
        std::string err; // all of it, or up to a cause the system words, which ends that line
    } cases[] = {
        {{"broken.png", "rotate-right", "-o", "out.bmp"},
         "error: failed to handle an intermediate file\ncannot load \"broken.png\": "},
        {{"--set", "tilingPaletteClass=2", "--set", "userPalettePath=absent.csv", "in.bmp",
          "rotate-right", "tiling", "-o", "out.bmp", "--csv", "table.csv"},
         "error: failed to open the csv file cause might be illegal data\n"
         "cannot read \"absent.csv\": No such file or directory\n"},
        {{"in.bmp", "invert", "--chart", "c.pdf", "-o", "out.bmp"},
         "error: failed to create the file\ncannot write \"missing/c.pdf\": No such file or "
         "directory\nerror: failed to save the chart\n"},
        {{"in.bmp", "invert", "--shopping", "s.csv", "-o", "out.bmp"},
         "error: failed to create the file\ncannot write \"missing/s.csv\": No such file or "
         "directory\nerror: failed to save the shopping list\n"}};
    for (const auto& c : cases) {
        const CliResult result = run(c.arguments);
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.err.rfind(c.err, 0), 0u) << result.err;
        EXPECT_EQ(std::ranges::count(result.err, '\n'),
                  std::ranges::count(c.err, '\n') + (c.err.back() != '\n'))
            << result.err;
        EXPECT_EQ(readText(work() / "out.bmp"), "old");
        EXPECT_EQ(folderEntries(work()),
                  (std::vector<std::string>{"broken.png", "c.pdf", "in.bmp", "out.bmp", "s.csv"}));
    }
    expectTempFolderEmpty();
}

// The help, field list, manual page and completion as in tests/data/cli/ (VELLORA_WRITE_DOCS=1).
TEST_F(CliEndToEnd, HelpAndDocumentsAreAsPublished) {
    const std::pair<std::string, std::string> documents[] = {
        {"help.txt", run({"--help"}).out},
        {"helpFields.txt", run({"--help-fields"}).out},
        {"vellora-cli.1", cli::manPage()},
        {"vellora-cli.bash", cli::bashCompletion()}};
    for (const auto& [name, text] : documents) {
        const std::string file = VELLORA_SOURCE_DIR "/tests/data/cli/" + name;
        if (std::getenv("VELLORA_WRITE_DOCS")) std::ofstream(file) << text;
        EXPECT_EQ(text, readText(file)) << name;
    }
    EXPECT_LT(std::ranges::count(documents[0].second, '\n'), 60);
    const CliResult version = run({"--version"});
    EXPECT_EQ(std::pair(version.exitStatus, version.out),
              std::pair(0, std::string("vellora-cli " VELLORA_VERSION "\n")));
}

// The completion and the manual page the build installs, run through bash and man.
TEST_F(CliEndToEnd, CompletionAndManualPageWorkInBashAndMan) {
    std::ofstream(root / "vellora-cli") << cli::bashCompletion();
    std::ofstream(root / "vellora-cli.1") << cli::manPage();
    // A loop in the script would hang the run: bash gets a minute.
    const std::string command =
        "timeout 60 bash '" VELLORA_SOURCE_DIR "/tests/cli/cliDocsTest.sh' '" +
        (root / "vellora-cli").string() + "' '" + (root / "vellora-cli.1").string() + "' >'" +
        (root / "docs.txt").string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << readText(root / "docs.txt");
}

class CliInterrupted : public CliEndToEnd, public ::testing::WithParamInterface<int> {};

// A signal mid-run ends the program as the signal would, after the intermediate folder is removed.
TEST_P(CliInterrupted, SignalRemovesTheIntermediateFolder) {
    // Long enough that the signal arrives mid-run: a big picture turned many times.
    writePicture("big.bmp", patternPicture(3000, 2000), "image/bmp");
    std::vector<std::string> arguments{"big.bmp", "-o", "out.bmp"};
    arguments.insert(arguments.end(), 40, "rotate-right");
    const pid_t process = startCli(arguments, work(), temp());
    ASSERT_GT(process, 0);
    // Wait until the run has made its folder and a first intermediate file.
    bool started = false;
    while (!started && waitpid(process, nullptr, WNOHANG) == 0) {
        for (const std::string& name : folderEntries(temp()))
            started = started || !folderEntries(temp() / name).empty();
        usleep(1000);
    }
    if (started) kill(process, GetParam());
    const CliResult result = finishCli(process, work());
    if (!started) GTEST_SKIP() << "the run ended before the signal came";
    EXPECT_EQ(result.signal, GetParam());
    expectTempFolderEmpty();
    EXPECT_EQ(folderEntries(work()), std::vector<std::string>{"big.bmp"});
}

INSTANTIATE_TEST_SUITE_P(Signals, CliInterrupted, ::testing::Values(SIGINT, SIGTERM, SIGHUP));

TEST_F(CliEndToEnd, SignalDuringTheOutputWriteLetsTheOutputLandWhole) {
    // The turn starts workers, so a signal sent mid-write may land on one, not the writer.
    const int width = 3000, height = 2000;
    writePicture("big.bmp", patternPicture(width, height), "image/bmp");
    const pid_t process =
        startCli({"big.bmp", "rotate-right", "rotate-left", "-o", "out.bmp"}, work(), temp());
    ASSERT_GT(process, 0);
    bool writing = false;
    while (!writing && waitpid(process, nullptr, WNOHANG) == 0)
        writing = folderEntries(work()).size() > 1; // the output's temporary file
    if (writing) kill(process, SIGTERM);
    const CliResult result = finishCli(process, work());
    if (result.signal != SIGTERM) GTEST_SKIP() << "the run ended before the signal came";
    EXPECT_EQ(folderEntries(work()), (std::vector<std::string>{"big.bmp", "out.bmp"}));
    EXPECT_EQ(fs::file_size(work() / "out.bmp"), 54u + std::uintmax_t(width) * 3 * height);
    expectTempFolderEmpty();
}

} // namespace
} // namespace vellora::test
