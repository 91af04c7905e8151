// Every file the program writes for the user, failed at every point of writing: the file that
// was there stays byte for byte as it was, no partial file is left beside it, and the writer
// says that it failed.
#include "color/evenPaletteFile.h"
#include "color/paletteFolders.h"
#include "core/atomicFile.h"
#include "core/dibImage.h"
#include "imageio/pictureLibrary.h"
#include "shell/parameterFile.h"
#include "shell/shellSetup.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"
#include "tiling/expressTable.h"
#include "tiling/saveTableCsv.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vellora {
namespace {

namespace fs = std::filesystem;

struct FaultPoint {
    const char* name;
    AtomicFileFaults faults;
};

// A small chunk size makes even short files take several writes, so "the second write" exists.
const FaultPoint kFaultPoints[] = {
    {"first write", {1, false, false, 0}},
    {"second write", {2, false, false, 16}},
    {"flush", {0, true, false, 0}},
    {"rename", {0, false, true, 0}},
};

struct Writer {
    const char* name;
    const char* fileName;
    // Writes the file at the path; true when the writer reports success.
    std::function<bool(Session&, const fs::path&)> write;
    // Intermediate pictures are scratch: never flushed, so a failing flush cannot reach them.
    bool flushed = true;
};

DibImage plainPicture() {
    return test::makeTrueColorImage(7, 5, [](int x, int y) { return std::uint32_t(x * 30 + y); });
}

bool savedAs(const char* mimeType, const fs::path& path) {
    std::string error;
    return imageio::savePicture(path, plainPicture(), mimeType, 90, 24, error);
}

const Writer kWriters[] = {
    {"bitmap file", "plan.bmp",
     [](Session& session, const fs::path& path) {
         return writeBitmapFile(session.frontend, path, plainPicture()) == 0;
     },
     false},
    {"bmp picture", "plan.bmp",
     [](Session&, const fs::path& p) { return savedAs("image/bmp", p); }},
    {"jpeg picture", "plan.jpg",
     [](Session&, const fs::path& p) { return savedAs("image/jpeg", p); }},
    {"png picture", "plan.png",
     [](Session&, const fs::path& p) { return savedAs("image/png", p); }},
    {"gif picture", "plan.gif",
     [](Session&, const fs::path& p) { return savedAs("image/gif", p); }},
    {"tiff picture", "plan.tif",
     [](Session&, const fs::path& p) { return savedAs("image/tiff", p); }},
    {"table csv", "plan.csv",
     [](Session& session, const fs::path& path) { return saveTilingTableCsv(session, path) == 0; }},
    {"table text", "plan.txt",
     [](Session& session, const fs::path& path) {
         return saveTilingTableText(session, path) == 0;
     }},
    {"parameter file", "vellora.par",
     [](Session& session, const fs::path& path) {
         ParameterBlock saved = defaultParameterBlock();
         return saveParameterFile(session.frontend, path, {0, 0, 800, 600}, saved, {}) == 0;
     }},
};

struct WriterFaults : ::testing::Test {
    test::RecordingFrontend frontend;
    Session session{frontend};
    test::TempDir folder;

    void SetUp() override {
        setUpShell(); // GIF needs the colour reducer
        test::setCurrentPicture(session, plainPicture());
        session.picturePath = "/pictures/plan.jpg";
    }
    void TearDown() override { atomicFileFaults() = {}; }

    std::size_t entries(const fs::path& where) const {
        return std::size_t(std::distance(fs::directory_iterator(where), fs::directory_iterator()));
    }
};

TEST_F(WriterFaults, EveryWriterAtEveryPointKeepsTheOldFile) {
    const std::vector<std::uint8_t> old = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
    for (const Writer& writer : kWriters) {
        const fs::path target = folder / writer.fileName;
        for (const FaultPoint& point : kFaultPoints) {
            if (!writer.flushed && point.faults.failFlush) continue;
            SCOPED_TRACE(std::string(writer.name) + " at " + point.name);
            test::writeFileBytes(target, old);
            ::chmod(target.c_str(), 0640);
            const std::size_t before = entries(folder.path());
            atomicFileFaults() = point.faults;
            const bool written = writer.write(session, target);
            atomicFileFaults() = {};
            EXPECT_FALSE(written);
            EXPECT_EQ(test::readFileBytes(target), old);
            EXPECT_EQ(entries(folder.path()), before);
        }
        // Without a fault the same writer replaces the file and keeps its permissions.
        SCOPED_TRACE(writer.name);
        ASSERT_TRUE(writer.write(session, target));
        EXPECT_NE(test::readFileBytes(target), old);
        struct stat after {};
        ASSERT_EQ(::stat(target.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode & 0777, 0640u);
    }
}

TEST_F(WriterFaults, FailedWritesAreReportedWithTheirMessages) {
    const fs::path bitmap = folder / "plan.bmp";
    atomicFileFaults().failWriteNumber = 1;
    EXPECT_NE(writeBitmapFile(frontend, bitmap, plainPicture()), 0);
    atomicFileFaults() = {};
    atomicFileFaults().failRename = true;
    EXPECT_NE(saveTilingTableCsv(session, folder / "plan.csv"), 0);
    atomicFileFaults() = {};
    ASSERT_GE(frontend.messages.size(), 2u);
    EXPECT_EQ(frontend.messages.front().text,
              "failed to write the file\ncannot write \"" + bitmap.string() +
                  "\": No space left on device");
    EXPECT_EQ(frontend.messages.back().text, "failed to save tiling table as csv file\ncannot write \"" +
                                                 (folder / "plan.csv").string() +
                                                 "\": Input/output error");
    EXPECT_EQ(entries(folder.path()), 0u);
}

TEST_F(WriterFaults, MadePaletteFileIsWholeOrAbsent) {
    setPaletteFolderOverride(PaletteFolders{folder / "preset", folder.path()});
    for (const FaultPoint& point : kFaultPoints) {
        SCOPED_TRACE(point.name);
        atomicFileFaults() = point.faults;
        EXPECT_NE(makeEvenPaletteFile(frontend, 4, 4, 4), 0);
        atomicFileFaults() = {};
        EXPECT_EQ(entries(folder.path()), 0u);
    }
    EXPECT_EQ(makeEvenPaletteFile(frontend, 4, 4, 4), 0);
    EXPECT_EQ(entries(folder.path()), 1u);
    setPaletteFolderOverride(std::nullopt);
}

} // namespace
} // namespace vellora
