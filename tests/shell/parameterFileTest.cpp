#include "shell/parameterFile.h"
#include "core/parameterFields.h"
#include "support/privateHome.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace vellora {
namespace {

namespace fs = std::filesystem;

std::uint32_t u32At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return readLe32(bytes.data() + offset);
}

std::uint8_t* bytesOf(ParameterBlock& block) { return reinterpret_cast<std::uint8_t*>(&block); }

TEST(ParameterFile, WritesReservedBytesBlockAndWindowRectangle) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    ParameterBlock saved = defaultParameterBlock();
    saved.grayLevelIndex = 3;
    const ParameterFileReserved reserved{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_EQ(saveParameterFile(frontend, dir / "vellora.par", {-8, 20, 1016, 788}, saved,
                                reserved),
              0);
    const auto bytes = test::readFileBytes(dir / "vellora.par");
    ASSERT_EQ(bytes.size(), 816u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 12),
              std::vector<std::uint8_t>(reserved.begin(), reserved.end()));
    // Block offsets sit 12 bytes further on in the file.
    EXPECT_EQ(std::int32_t(u32At(bytes, 12 + 36)), -8);
    EXPECT_EQ(u32At(bytes, 12 + 40), 20u);
    EXPECT_EQ(u32At(bytes, 12 + 44), 1016u);
    EXPECT_EQ(u32At(bytes, 12 + 48), 788u);
    EXPECT_EQ(u32At(bytes, 12 + 68), 1024u); // right - left
    EXPECT_EQ(u32At(bytes, 12 + 72), 768u);  // bottom - top
    EXPECT_EQ(u32At(bytes, 12 + 528), 3u);
    EXPECT_EQ(u32At(bytes, 12 + 172), 100u);
    EXPECT_EQ(u32At(bytes, 12 + 784), 64u);
    EXPECT_TRUE(frontend.messages.empty());
}

TEST(ParameterFile, RoundTripKeepsEveryByte) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    ParameterBlock saved = defaultParameterBlock();
    saved.tileCountWide = 80;
    saved.userFilterMask[0] = -7;
    std::strcpy(saved.userPalettePath, "/home/me/palette/user.csv");
    saved.reserved0[5] = 0xAB;  // reserved areas of the block are carried too
    saved.reserved152[3] = 0xCD;
    const ParameterFileReserved reserved{0xFF, 0, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0x7E};
    ASSERT_EQ(saveParameterFile(frontend, dir / "vellora.par", {0, 0, 640, 480}, saved, reserved),
              0);

    ParameterFileReserved readReserved{};
    ParameterBlock read = defaultParameterBlock();
    ASSERT_TRUE(loadParameterFile(dir / "vellora.par", readReserved, read));
    EXPECT_EQ(readReserved, reserved);
    EXPECT_EQ(std::memcmp(&read, &saved, sizeof read), 0);
}

TEST(ParameterFile, MissingFileReadsNothing) {
    test::TempDir dir;
    ParameterFileReserved reserved{};
    ParameterBlock block = defaultParameterBlock();
    block.saveQuality = 55;
    EXPECT_FALSE(loadParameterFile(dir / "absent.par", reserved, block));
    EXPECT_FALSE(loadParameterFile(dir.path(), reserved, block)); // a folder is no file
    EXPECT_EQ(block.saveQuality, 55u);
}

TEST(ParameterFile, CreateFailureShowsAlertAndKeepsOldFile) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    ParameterBlock saved = defaultParameterBlock();
    // A path whose folder is a plain file cannot be created.
    test::writeFileBytes(dir / "plain", {1, 2, 3});
    EXPECT_EQ(saveParameterFile(frontend, dir / "plain" / "vellora.par", {}, saved, {}), -1);
    ASSERT_EQ(frontend.messages.size(), 1u);
    EXPECT_EQ(frontend.messages[0].caption, "alert");
    const std::string cause =
        "failed to open .par file\ncannot write \"" + (dir / "plain").string() + "\": ";
    EXPECT_EQ(frontend.messages[0].text.rfind(cause, 0), 0u) << frontend.messages[0].text;
    EXPECT_EQ(test::readFileBytes(dir / "plain"), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(ParameterFile, SaveCreatesMissingConfigFolder) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    ParameterBlock saved = defaultParameterBlock();
    const fs::path path = dir / "config" / "vellora" / "vellora.par";
    ASSERT_EQ(saveParameterFile(frontend, path, {}, saved, {}), 0);
    EXPECT_EQ(fs::file_size(path), 816u);
    EXPECT_EQ(fs::status(dir / "config").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(path.parent_path()).permissions(), fs::perms::owner_all);
}

// A file shorter than 816 bytes: what it holds is taken, the rest keeps the defaults.
TEST(ParameterFile, ShortFileKeepsDefaultsForTheRest) {
    ParameterBlock source = defaultParameterBlock();
    source.saveQuality = 42;
    source.grayDiffusion = 0;  // block offset 524, inside the file
    source.grayLevelIndex = 2; // block offset 528, just past its end
    source.tileCountWide = 5;
    std::vector<std::uint8_t> bytes(12, 0x5A);
    bytes.insert(bytes.end(), bytesOf(source), bytesOf(source) + 528);

    ParameterFileReserved reserved{};
    ParameterBlock block = defaultParameterBlock();
    ASSERT_TRUE(loadParameterBytes(bytes, reserved, block));
    EXPECT_EQ(reserved[11], 0x5A);
    EXPECT_EQ(block.saveQuality, 42u);
    EXPECT_EQ(block.grayDiffusion, 0u);
    EXPECT_EQ(block.grayLevelIndex, 7u);
    EXPECT_EQ(block.tileCountWide, 64);
}

TEST(ParameterFile, ReservedPartOnlyLeavesBlockAlone) {
    const std::vector<std::uint8_t> bytes{9, 8, 7};
    ParameterFileReserved reserved{};
    ParameterBlock block = defaultParameterBlock();
    ASSERT_TRUE(loadParameterBytes(bytes, reserved, block));
    EXPECT_EQ(reserved, (ParameterFileReserved{9, 8, 7}));
    const ParameterBlock defaults = defaultParameterBlock();
    EXPECT_EQ(std::memcmp(&block, &defaults, sizeof block), 0);
}

TEST(ParameterFile, EmptyBytesReadNothing) {
    ParameterFileReserved reserved{};
    ParameterBlock block = defaultParameterBlock();
    EXPECT_FALSE(loadParameterBytes({}, reserved, block));
}

// Damaged values: each out-of-range value becomes its field's default, the others stay.
TEST(ParameterFile, DamagedValuesAreRepairedOnLoad) {
    ParameterBlock source = defaultParameterBlock();
    source.grayLevelIndex = 8;          // list of 8 items: 0 … 7
    source.posterLevelRGB = 1;          // 2 … 128
    source.posterLevelRed = 128;        // in range, kept
    source.evenDivisions[1] = 0;        // 1 … 9
    source.evenDivisions[2] = 9;        // kept
    source.colorChoice[1] = 2;          // standard list has 2 items
    source.colorChoice[2] = 10;         // even colour list has 11, kept
    source.tileCountWide = -4;
    source.bwThreshold = 256;
    source.edgeDetectChoice[2] = 9;
    source.rotateAngle = -725;          // any angle, kept
    std::memset(source.userPalettePath, 'x', sizeof source.userPalettePath); // no terminator
    std::vector<std::uint8_t> bytes(12, 0);
    bytes.insert(bytes.end(), bytesOf(source), bytesOf(source) + sizeof source);

    ParameterFileReserved reserved{};
    ParameterBlock block = defaultParameterBlock();
    ASSERT_TRUE(loadParameterBytes(bytes, reserved, block));
    EXPECT_EQ(block.grayLevelIndex, 7u);
    EXPECT_EQ(block.posterLevelRGB, 2u);
    EXPECT_EQ(block.posterLevelRed, 128u);
    EXPECT_EQ(block.evenDivisions[1], 6u);
    EXPECT_EQ(block.evenDivisions[2], 9u);
    EXPECT_EQ(block.colorChoice[1], 1u);
    EXPECT_EQ(block.colorChoice[2], 10u);
    EXPECT_EQ(block.tileCountWide, 64);
    EXPECT_EQ(block.bwThreshold, 128u);
    EXPECT_EQ(block.edgeDetectChoice[2], 0u);
    EXPECT_EQ(block.rotateAngle, -725);
    EXPECT_EQ(block.userPalettePath[0], '\0');
}

struct LocationCase {
    const char* configHome; // null: unset
    const char* home;
    const char* expected;
};

TEST(ParameterFileLocation, InTheConfigHomeNeverBesideTheProgram) {
    const LocationCase cases[] = {
        {"/x/conf", "/home/me", "/x/conf/vellora/vellora.par"},
        {"", "/home/me", "/home/me/.config/vellora/vellora.par"},
        {nullptr, "/home/me", "/home/me/.config/vellora/vellora.par"},
        {"relative/conf", "/home/me", "/home/me/.config/vellora/vellora.par"},
    };
    const test::EnvironmentGuard guard({"XDG_CONFIG_HOME", "HOME"});
    for (const LocationCase& c : cases) {
        if (c.configHome)
            setenv("XDG_CONFIG_HOME", c.configHome, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        setenv("HOME", c.home, 1);
        EXPECT_EQ(parameterFilePath(), fs::path(c.expected))
            << (c.configHome ? c.configHome : "unset");
    }
}

// Start-up: file -> saved block (defaults without a file) -> working copy.
TEST(StartupParameters, WithoutFileDefaultsBothBlocks) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    Session session(frontend);
    session.savedBlock.saveQuality = 3;
    EXPECT_FALSE(loadStartupParameters(session, dir / "vellora.par"));
    EXPECT_EQ(session.savedBlock.saveQuality, 100u);
    EXPECT_EQ(session.savedBlock.saveDepthIndex, 0u);
    EXPECT_EQ(session.savedBlock.evenDivisions[0], 8u);
    EXPECT_EQ(session.savedBlock.evenDivisions[1], 6u);
    EXPECT_EQ(session.savedBlock.evenDivisions[2], 5u);
    EXPECT_EQ(std::memcmp(&session.workingBlock, &session.savedBlock, sizeof(ParameterBlock)), 0);
    EXPECT_TRUE(frontend.messages.empty());
}

TEST(StartupParameters, WindowDefaultsRunBeforeTheWorkingCopy) {
    test::TempDir dir;
    test::RecordingFrontend frontend;
    Session session(frontend);
    loadStartupParameters(session, dir / "vellora.par", [](ParameterBlock& saved) {
        saved.screenWidth = 1920;
        saved.windowRect[2] = 800;
    });
    EXPECT_EQ(session.workingBlock.screenWidth, 1920u);
    EXPECT_EQ(session.workingBlock.windowRect[2], 800);
}

// The whole life of a setting: ticked gray scale at "16" survives the exit; crop never does.
TEST(StartupParameters, SavedDefaultsReachTheNextRun) {
    test::TempDir dir;
    const fs::path path = dir / "vellora.par";
    test::RecordingFrontend frontend;
    {
        Session run(frontend);
        loadStartupParameters(run, path);
        run.workingBlock.grayLevelIndex = 3;
        run.workingBlock.saveGray = 1;
        run.workingBlock.cropRect[2] = 9;
        run.workingBlock.bwThreshold = 77; // chosen without the tick
        mergeSavedDefaults(run.savedBlock, run.workingBlock);
        run.parameterFileReserved[4] = 0x44;
        ASSERT_EQ(saveSessionParameters(run, path, {10, 20, 810, 620}), 0);
    }
    EXPECT_EQ(fs::file_size(path), 816u);
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

} // namespace
} // namespace vellora
