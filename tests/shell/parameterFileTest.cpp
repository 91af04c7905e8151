// The parameter file: 12 reserved bytes, then the block; read at start-up, repaired, and written
// at exit with the window rectangle; the groups a dialog's "save" tick merges into it.
#include "shell/parameterFile.h"

#include "support/privateHome.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vellora {
namespace {

namespace fs = std::filesystem;

std::uint8_t* bytesOf(ParameterBlock& block) { return reinterpret_cast<std::uint8_t*>(&block); }
bool same(const ParameterBlock& a, const ParameterBlock& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
// The file holding `reserved` and the first `count` bytes of `block`.
std::vector<std::uint8_t> fileBytes(std::uint8_t reserved, ParameterBlock block,
                                    std::size_t count = kParameterBlockBytes) {
    std::vector<std::uint8_t> bytes(12 + count, reserved);
    std::memcpy(bytes.data() + 12, bytesOf(block), count);
    return bytes;
}

TEST(ParameterFile, WritesReservedBytesBlockAndWindowRectangleAndReadsThemBack) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    ParameterBlock saved = defaultParameterBlock();
    saved.grayLevelIndex = 3;
    std::strcpy(saved.userPalettePath, "/home/me/palette/user.csv");
    saved.reserved0[5] = 0xAB; // reserved areas of the block are carried too
    const ParameterFileReserved reserved{0xFF, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0x7E};
    ASSERT_EQ(saveParameterFile(frontend, dir / "v.par", {-8, 20, 1016, 788}, saved, reserved), 0);
    const auto bytes = test::readFileBytes(dir / "v.par");
    ASSERT_EQ(bytes.size(), 816u);
    EXPECT_TRUE(std::equal(reserved.begin(), reserved.end(), bytes.begin()));
    // Block offsets sit 12 bytes further on: the rectangle, its width and height, gray levels,
    // the save quality and the tile count across.
    const std::pair<std::size_t, std::int32_t> fields[] = {
        {36, -8}, {40, 20}, {44, 1016}, {48, 788}, {68, 1024}, {72, 768}, {528, 3}, {172, 100},
        {784, 64}};
    for (const auto& [offset, value] : fields)
        EXPECT_EQ(std::int32_t(readLe32(bytes.data() + 12 + offset)), value) << offset;
    EXPECT_TRUE(frontend.messages.empty());

    ParameterFileReserved readReserved{};
    ParameterBlock read = defaultParameterBlock();
    ASSERT_TRUE(loadParameterFile(dir / "v.par", readReserved, read));
    EXPECT_EQ(readReserved, reserved);
    EXPECT_TRUE(same(read, saved));
}

TEST(ParameterFile, MissingFileFolderOrNoBytesReadNothing) {
    test::TempDir dir;
    ParameterFileReserved reserved{};
    ParameterBlock block = defaultParameterBlock();
    block.saveQuality = 55;
    EXPECT_FALSE(loadParameterFile(dir / "absent.par", reserved, block));
    EXPECT_FALSE(loadParameterFile(dir.path(), reserved, block));
    EXPECT_FALSE(loadParameterBytes({}, reserved, block));
    EXPECT_EQ(block.saveQuality, 55u);
}

TEST(ParameterFile, SaveMakesTheMissingFoldersPrivateAndAFailureShowsAnAlert) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    ParameterBlock saved = defaultParameterBlock();
    const fs::path path = dir / "config" / "vellora" / "vellora.par";
    ASSERT_EQ(saveParameterFile(frontend, path, {}, saved, {}), 0);
    EXPECT_EQ(fs::file_size(path), 816u);
    EXPECT_EQ(fs::status(dir / "config").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(path.parent_path()).permissions(), fs::perms::owner_all);

    // A folder that is a plain file cannot be made; the file stays as it was.
    test::writeFileBytes(dir / "plain", {1, 2, 3});
    EXPECT_EQ(saveParameterFile(frontend, dir / "plain" / "vellora.par", {}, saved, {}), -1);
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0].caption, "alert");
    const std::string cause =
        "failed to open .par file\ncannot write \"" + (dir / "plain").string() + "\": ";
    EXPECT_EQ(frontend.messages[0].text.rfind(cause, 0), 0u) << frontend.messages[0].text;
    EXPECT_EQ(test::readFileBytes(dir / "plain"), (std::vector<std::uint8_t>{1, 2, 3}));
}

// A short file: what it holds is taken, the rest keeps the defaults. Each out-of-range value
// becomes its field's default, the others stay.
TEST(ParameterFile, ShortFilesKeepTheDefaultsAndDamagedValuesAreRepaired) {
    ParameterBlock source = defaultParameterBlock();
    source.grayDiffusion = 0;  // block offset 524, inside the file
    source.grayLevelIndex = 2; // block offset 528, just past its end
    ParameterFileReserved reserved{};
    ParameterBlock block = defaultParameterBlock();
    ASSERT_TRUE(loadParameterBytes(fileBytes(0x5A, source, 528), reserved, block));
    EXPECT_EQ(reserved[11], 0x5A);
    EXPECT_EQ(block.grayDiffusion * 10 + block.grayLevelIndex, 7u);
    block = defaultParameterBlock();
    ASSERT_TRUE(loadParameterBytes(std::vector<std::uint8_t>{9, 8, 7}, reserved, block));
    EXPECT_EQ(reserved, (ParameterFileReserved{9, 8, 7, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A,
                                               0x5A, 0x5A}));
    EXPECT_TRUE(same(block, defaultParameterBlock()));

    source.grayLevelIndex = 8; // a list of 8 items
    source.posterLevelRed = 128;
    source.tileCountWide = -4;
    source.rotateAngle = -725; // any angle
    std::memset(source.userPalettePath, 'x', sizeof source.userPalettePath); // no terminator
    ASSERT_TRUE(loadParameterBytes(fileBytes(0, source), reserved, block));
    EXPECT_EQ(block.grayLevelIndex, 7u);
    EXPECT_EQ(block.posterLevelRed, 128u);
    EXPECT_EQ(block.tileCountWide, 64);
    EXPECT_EQ(block.rotateAngle, -725);
    EXPECT_EQ(block.userPalettePath[0], '\0');
}

// In the configuration home when it is an absolute path, else in ~/.config; never beside the
// program.
TEST(ParameterFile, LivesInTheConfigHome) {
    const test::EnvironmentGuard guard({"XDG_CONFIG_HOME", "HOME"});
    setenv("HOME", "/home/me", 1);
    setenv("XDG_CONFIG_HOME", "/x/conf", 1);
    EXPECT_EQ(parameterFilePath(), fs::path("/x/conf/vellora/vellora.par"));
    setenv("XDG_CONFIG_HOME", "relative/conf", 1);
    EXPECT_EQ(parameterFilePath(), fs::path("/home/me/.config/vellora/vellora.par"));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(parameterFilePath(), fs::path("/home/me/.config/vellora/vellora.par"));
}

// Start-up: file, else defaults, then the window defaults, then the working copy. A ticked gray
// scale at "16" survives the exit; an unticked threshold and the crop never do.
TEST(StartupParameters, SavedDefaultsReachTheNextRun) {
    test::TempDir dir;
    const fs::path path = dir / "vellora.par";
    test::RecordingFrontend frontend;
    {
        Session run(frontend);
        run.savedBlock.saveQuality = 3;
        const auto windowDefaults = [](ParameterBlock& b) { b.screenWidth = 1920; };
        EXPECT_FALSE(loadStartupParameters(run, path, windowDefaults));
        EXPECT_EQ(run.workingBlock.screenWidth, 1920u);
        run.workingBlock.screenWidth = 0;
        EXPECT_TRUE(same(run.workingBlock, defaultParameterBlock()));
        run.workingBlock.grayLevelIndex = 3;
        run.workingBlock.saveGray = 1;
        run.workingBlock.cropRect[2] = 9;
        run.workingBlock.bwThreshold = 77;
        mergeSavedDefaults(run.savedBlock, run.workingBlock);
        run.parameterFileReserved[4] = 0x44;
        ASSERT_EQ(saveSessionParameters(run, path, {10, 20, 810, 620}), 0);
    }
    Session next(frontend);
    EXPECT_TRUE(loadStartupParameters(next, path));
    EXPECT_EQ(next.workingBlock.grayLevelIndex, 3u);
    EXPECT_EQ(next.workingBlock.saveGray, 0u);
    EXPECT_EQ(next.workingBlock.cropRect[2], 0);
    EXPECT_EQ(next.workingBlock.bwThreshold, 128u);
    EXPECT_EQ(next.workingBlock.windowRect[0], 10);
    EXPECT_EQ(next.workingBlock.windowWidth, 800u);
    EXPECT_EQ(next.parameterFileReserved[4], 0x44);
    EXPECT_TRUE(frontend.messages.empty());
}

// Each flag copies exactly its group (the colour group its palette path as a string too) and
// clears itself; the crop flag copies nothing. Flag, its offset, the block bytes it copies.
TEST(MergeSavedDefaults, EachFlagCopiesExactlyItsGroupAndClearsItself) {
    const std::tuple<const char*, std::size_t, std::size_t, std::size_t> cases[] = {
        {"saveHiddenMenu", 84, 168, 192},  {"saveCrop", 88, 0, 0},
        {"saveResize", 92, 232, 240},      {"saveRotate", 96, 192, 208},
        {"saveColor", 100, 240, 264},      {"saveGray", 104, 524, 532},
        {"saveBlackWhite", 108, 532, 556}, {"saveInvert", 112, 556, 560},
        {"savePoster", 116, 560, 580},     {"saveHistogram", 120, 580, 616},
        {"saveSmoothing", 124, 616, 620},  {"saveEdgePreserving", 128, 620, 624},
        {"saveSharpening", 132, 624, 628}, {"saveEdgeDetect", 136, 628, 644},
        {"saveDeNoise", 140, 644, 648},    {"saveUserFilter", 144, 648, 756},
        {"saveTiling", 148, 756, 804}};
    constexpr std::size_t kPathOffset = 264;
    constexpr char kPath[] = "palette/user/mine.csv";
    for (const auto& [flag, flagOffset, begin, end] : cases) {
        SCOPED_TRACE(flag);
        ParameterBlock saved, working;
        std::memset(&saved, 0x11, sizeof saved);
        std::memset(&working, 0x22, sizeof working);
        std::memset(bytesOf(working) + 84, 0, 17 * 4); // every flag off …
        bytesOf(working)[flagOffset] = 1;            // … but this one
        std::memcpy(bytesOf(working) + kPathOffset, kPath, sizeof kPath);
        ParameterBlock workingAfter = working;
        bytesOf(workingAfter)[flagOffset] = 0;
        mergeSavedDefaults(saved, working);
        const bool copiesPath = flagOffset == 100;
        for (std::size_t i = 0; i < sizeof saved; ++i) {
            const bool inPath = copiesPath && i >= kPathOffset && i < kPathOffset + sizeof kPath;
            const bool copied = (i >= begin && i < end) || inPath;
            ASSERT_EQ(bytesOf(saved)[i], copied ? bytesOf(working)[i] : 0x11) << "byte " << i;
        }
        EXPECT_TRUE(same(working, workingAfter));
    }
}

} // namespace
} // namespace vellora
