#include "core/atomicFile.h"
#include "support/tempDir.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;
using vellora::AtomicFileFailure;
using vellora::atomicFileFaults;
using vellora::writeFileAtomically;

namespace {

std::vector<std::uint8_t> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = std::uint8_t(seed + i * 7);
    return bytes;
}

class AtomicFile : public ::testing::Test {
  protected:
    void TearDown() override { atomicFileFaults() = {}; }
    std::size_t entries() const {
        return std::size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    const vellora::test::TempDir dir{"atomicFile"};
    const fs::path folder = dir.path();
    const fs::path target = folder / "mosaic plan é.bmp";
};

} // namespace

TEST_F(AtomicFile, WritesANewFileAndReplacesAnOldOneWholly) {
    const auto first = pattern(5000, 1);
    ASSERT_EQ(writeFileAtomically(target, first), AtomicFileFailure::none);
    EXPECT_EQ(readAll(target), first);
    const auto shorter = pattern(10, 9);
    ASSERT_EQ(writeFileAtomically(target, shorter), AtomicFileFailure::none);
    EXPECT_EQ(readAll(target), shorter);
    ASSERT_EQ(writeFileAtomically(target, {}), AtomicFileFailure::none);
    EXPECT_TRUE(readAll(target).empty());
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFile, ExistingTargetKeepsItsMode) {
    ASSERT_EQ(writeFileAtomically(target, pattern(10, 1)), AtomicFileFailure::none);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(writeFileAtomically(target, pattern(20, 2)), AtomicFileFailure::none);
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
}

TEST_F(AtomicFile, EveryFaultPointLeavesTheOldFileAndNoStrayFile) {
    struct Case {
        const char* name;
        vellora::AtomicFileFaults faults;
        AtomicFileFailure expected;
    };
    const Case cases[] = {
        {"first write", {1, false, false, 0}, AtomicFileFailure::write},
        {"third write", {3, false, false, 100}, AtomicFileFailure::write},
        {"flush", {0, true, false, 0}, AtomicFileFailure::flush},
        {"rename", {0, false, true, 0}, AtomicFileFailure::rename},
    };
    const auto old = pattern(777, 3);
    ASSERT_EQ(writeFileAtomically(target, old), AtomicFileFailure::none);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        atomicFileFaults() = c.faults;
        EXPECT_EQ(writeFileAtomically(target, pattern(1000, 5)), c.expected);
        atomicFileFaults() = {};
        EXPECT_EQ(readAll(target), old);
        EXPECT_EQ(entries(), 1u);
    }
}

TEST_F(AtomicFile, ScratchFilesAreNotFlushedButStillReplaceWholly) {
    atomicFileFaults().failFlush = true; // a flush would fail: a scratch write never asks for one
    const auto bytes = pattern(1000, 9);
    EXPECT_EQ(writeFileAtomically(target, bytes, vellora::FileDurability::scratch),
              AtomicFileFailure::none);
    EXPECT_EQ(readAll(target), bytes);
    EXPECT_EQ(writeFileAtomically(target, pattern(10, 2)), AtomicFileFailure::flush);
    atomicFileFaults() = {};
    EXPECT_EQ(readAll(target), bytes);
    EXPECT_EQ(entries(), 1u);
    atomicFileFaults().failRename = true; // and a scratch write that fails leaves the old file
    EXPECT_EQ(writeFileAtomically(target, pattern(10, 3), vellora::FileDurability::scratch),
              AtomicFileFailure::rename);
    atomicFileFaults() = {};
    EXPECT_EQ(readAll(target), bytes);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFile, FaultOnANewTargetLeavesNothing) {
    atomicFileFaults().failRename = true;
    EXPECT_EQ(writeFileAtomically(target, pattern(10, 1)), AtomicFileFailure::rename);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(entries(), 0u);
}

TEST_F(AtomicFile, MissingFolderIsACreateFailure) {
    EXPECT_EQ(writeFileAtomically(folder / "absent" / "x.bmp", pattern(10, 1)),
              AtomicFileFailure::create);
    EXPECT_EQ(entries(), 0u);
}

// The temporary name beside a target of the longest legal name must itself stay legal.
TEST_F(AtomicFile, LongestLegalNamesAreWritten) {
    for (std::size_t length : {247u, 251u, 255u}) {
        const fs::path longName = folder / std::string(length, 'n');
        ASSERT_EQ(writeFileAtomically(longName, pattern(20, 3)), AtomicFileFailure::none) << length;
        EXPECT_EQ(readAll(longName), pattern(20, 3));
        fs::remove(longName);
    }
    EXPECT_EQ(entries(), 0u);
}

// A link keeps being a link; the file it names (relative to the link, in another folder) is
// replaced, and a dangling link's file is made.
TEST_F(AtomicFile, LinksAreKeptAndTheirFilesWritten) {
    fs::create_directory(folder / "real");
    ASSERT_EQ(writeFileAtomically(folder / "real" / "plan.png", pattern(5, 1)),
              AtomicFileFailure::none);
    fs::create_symlink("real/plan.png", folder / "link.png");
    fs::create_symlink("link.png", folder / "chain.png");
    fs::create_symlink("real/new.png", folder / "dangling.png");
    ASSERT_EQ(writeFileAtomically(folder / "chain.png", pattern(9, 2)), AtomicFileFailure::none);
    ASSERT_EQ(writeFileAtomically(folder / "dangling.png", pattern(4, 3)), AtomicFileFailure::none);
    for (const char* link : {"link.png", "chain.png", "dangling.png"})
        EXPECT_TRUE(fs::is_symlink(folder / link)) << link;
    EXPECT_EQ(readAll(folder / "real" / "plan.png"), pattern(9, 2));
    EXPECT_EQ(readAll(folder / "real" / "new.png"), pattern(4, 3));
    EXPECT_EQ(entries(), 4u); // real/ and the three links: no stray temporary file
}

// A real full file system: a 64 KiB tmpfs where a 200 KiB write cannot complete.
TEST_F(AtomicFile, FullFileSystemLeavesTheOldFile) {
    const fs::path mountPoint = folder / "small";
    fs::create_directories(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    const fs::path onSmall = mountPoint / "plan.bmp";
    const auto old = pattern(1000, 4);
    EXPECT_EQ(writeFileAtomically(onSmall, old), AtomicFileFailure::none);
    EXPECT_EQ(writeFileAtomically(onSmall, pattern(200 * 1024, 6)), AtomicFileFailure::write);
    EXPECT_EQ(readAll(onSmall), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(mountPoint), fs::directory_iterator()), 1);
    ::umount(mountPoint.c_str());
}
