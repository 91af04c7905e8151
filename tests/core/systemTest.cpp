// Files and the system: atomic writes, run folders, regular files, worker threads, vector level.
#include "core/atomicFile.h"
#include "core/dibImage.h"
#include "core/parallel.h"
#include "core/regularFile.h"
#include "core/runFolders.h"
#include "core/simdLevel.h"
#include "core/userFolders.h"
#include "support/privateHome.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <set>
#include <stdexcept>
#include <tuple>

namespace vellora {
namespace {

namespace fs = std::filesystem;
using test::readFileBytes;
using test::ScopedVariable;

std::vector<std::uint8_t> pattern(std::size_t size, std::uint8_t first) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = std::uint8_t(first + i * 7);
    return bytes;
}

std::size_t entries(const fs::path& folder) {
    return std::size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class AtomicFile : public ::testing::Test {
  protected:
    void TearDown() override { atomicFileFaults() = {}; }
    const test::TempDir dir{"atomicFile"};
    const fs::path folder = dir.path();
    const fs::path target = folder / "mosaic plan é.bmp";
};

// A write failing at any point leaves the old file (or none), no stray file; a good one replaces it
// wholly, longer or shorter, keeping its mode. Scratch and unflushed writes never flush, so no
// failing flush stops them. Pieces make the same file, calls counted over all; a missing one fails.
TEST_F(AtomicFile, EveryFaultPointLeavesTheOldFileAndASuccessReplacesIt) {
    using Failure = AtomicFileFailure;
    constexpr auto kFlushed = FileDurability::flushed, kUnflushed = FileDurability::unflushed;
    const std::tuple<const char*, AtomicFileFaults, FileDurability, Failure> cases[] = {
        {"byte by byte", {0, false, false, 1}, kFlushed, Failure::none},
        {"fifth write", {5, false, false, 100}, kFlushed, Failure::write},
        {"no eleventh write", {11, false, false, 100}, kFlushed, Failure::none},
        {"flush", {0, true, false, 0}, kFlushed, Failure::flush},
        {"rename", {0, false, true, 0}, kFlushed, Failure::rename},
        {"unflushed, no flush", {0, true, false, 0}, kUnflushed, Failure::none}};
    const auto old = pattern(777, 3);
    atomicFileFaults().failRename = true; // a new target is not made either
    EXPECT_EQ(writeFileAtomically(target, old), Failure::rename);
    EXPECT_EQ(entries(folder), 0u);
    atomicFileFaults() = {};
    ASSERT_EQ(writeFileAtomically(target, old), AtomicFileFailure::none);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0666 & ~mask)); // as a new file gets
    fs::permissions(target, fs::perms(0640));
    const auto bytes = pattern(1000, 5);
    std::size_t given = 0;
    const FilePieces inPieces = [&](std::span<const std::uint8_t>& piece) { // 300, 300, 300, 100
        piece = std::span(bytes).subspan(given, std::min<std::size_t>(300, bytes.size() - given));
        given += piece.size();
        return true;
    };
    for (const auto& [name, faults, durability, expected] : cases)
        for (const bool pieces : {false, true}) {
            SCOPED_TRACE(std::string(name) + (pieces ? " in pieces" : ""));
            atomicFileFaults() = faults;
            given = 0;
            EXPECT_EQ(pieces ? writeFileAtomically(target, inPieces, durability)
                             : writeFileAtomically(target, bytes, durability),
                      expected);
            atomicFileFaults() = {};
            EXPECT_EQ(std::tuple(readFileBytes(target), entries(folder)),
                      std::tuple(expected == Failure::none ? bytes : old, 1u));
            ASSERT_EQ(writeFileAtomically(target, old), Failure::none);
        }
    EXPECT_EQ(writeFileAtomically(
                  target, [](auto&) { return false; }, kFlushed),
              Failure::write);
    EXPECT_EQ(std::tuple(readFileBytes(target), entries(folder)), std::tuple(old, 1u));
    EXPECT_EQ(writeFileAtomically(folder / "absent" / "x.bmp", old), AtomicFileFailure::create);
    for (const auto& bytes : {pattern(5000, 1), std::vector<std::uint8_t>{}}) {
        ASSERT_EQ(writeFileAtomically(target, bytes), AtomicFileFailure::none);
        EXPECT_EQ(
            std::tuple(readFileBytes(target), fs::status(target).permissions(), entries(folder)),
            std::tuple(bytes, fs::perms(0640), 1u));
    }
}

// Longest legal names (the temporary beside them must stay legal), links relative to their folder
// (one, a chain, a dangling one): writes land in the file named, links stay, no temporary is left.
TEST_F(AtomicFile, LongestNamesAndLinks) {
    fs::create_directory(folder / "real");
    test::writeFileBytes(folder / "real" / "plan.png", {1});
    const char* links[][2] = {
        {"link.png", "real/plan.png"}, {"chain.png", "link.png"}, {"dangling.png", "real/new.png"}};
    for (const auto& [link, to] : links)
        fs::create_symlink(to, folder / link);
    const std::string n247(247, 'n'), n251(251, 'n'), n255(255, 'n');
    const std::pair<std::string, std::string> writes[] = {{n247, n247},
                                                          {n251, n251},
                                                          {n255, n255},
                                                          {"chain.png", "real/plan.png"},
                                                          {"dangling.png", "real/new.png"}};
    for (const auto& [written, landed] : writes) {
        const auto bytes = pattern(9, std::uint8_t(landed.size() + written.size()));
        ASSERT_EQ(writeFileAtomically(folder / written, bytes), AtomicFileFailure::none) << written;
        EXPECT_EQ(readFileBytes(folder / landed), bytes) << written;
    }
    for (const auto& link : links)
        EXPECT_TRUE(fs::is_symlink(folder / link[0])) << link[0];
    EXPECT_EQ(std::tuple(entries(folder), entries(folder / "real")), std::tuple(7u, 2u));
}

// An empty TMPDIR is unset, a missing one none. An ended (say killed) run's folder: the next sweep
// removes its numbered files, gaps or not, keeps other names; live runs' and non-run ones stay.
TEST(RunFolders, SweepRemovesOnlyFoldersOfEndedRuns) {
    ScopedVariable noTmpdir("TMPDIR", std::nullopt);
    const fs::path unset = systemTemporaryFolder();
    ASSERT_FALSE(unset.empty());
    for (const char* value : {"", "/nonexistent/vellora-test"}) {
        ScopedVariable tmpdir("TMPDIR", value);
        EXPECT_EQ(systemTemporaryFolder(), *value ? fs::path() : unset) << value;
    }
    test::TempDir base;
    ScopedVariable tmpdir("TMPDIR", base.path().string());
    fs::path ended, live;
    const int endedLock = makeRunFolder(ended), lock = makeRunFolder(live);
    ASSERT_TRUE(endedLock >= 0 && lock >= 0);
    // .__VL_001.dib.a1B2c3 is a write cut short, __VL_run.lock.new a lock being made.
    for (const char* name : {"__VL_000.dib", "__VL_417.dib", "__VL_999.dib", ".__VL_001.dib.a1B2c3",
                             "__VL_run.lock.new", "__VL_0000.dib", "__VL_12.dib", "__VL_abc.dib",
                             ".__VL_001.dib.a1B2c", "notes.txt"})
        test::writeFileBytes(ended / name, {1});
    ::close(endedLock); // as when its run ends, killed or not: the folder stays
    const fs::path foreign = base / "vellora-abc123", odd = base / "vellora-ab.c12";
    fs::create_directory(foreign), fs::create_directory(odd);
    test::writeFileBytes(foreign / "__VL_000.dib", {1}); // no lock file: not a run's folder
    test::writeFileBytes(odd / kRunLockName, {});        // a free lock, but not a name a run makes
    // A run's name, but a link to a folder elsewhere that looks like an ended run's.
    const test::TempDir elsewhere;
    test::writeFileBytes(elsewhere / kRunLockName, {});
    fs::create_directory_symlink(elsewhere.path(), base / "vellora-link01");
    sweepAbandonedRunFolders();
    EXPECT_EQ(std::tuple(fs::exists(live), fs::exists(foreign / "__VL_000.dib"), fs::exists(odd),
                         fs::exists(elsewhere / kRunLockName)),
              std::tuple(true, true, true, true));
    std::set<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(ended))
        left.insert(entry.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{".__VL_001.dib.a1B2c", "__VL_0000.dib", "__VL_12.dib",
                                           "__VL_abc.dib", "notes.txt"}));
    ::close(lock);
    sweepAbandonedRunFolders();
    EXPECT_FALSE(fs::exists(live));
}

// XDG folders if absolute, else in HOME; private all the way down; refused if a file is in the way.
TEST(UserFolders, XdgFoldersOrTheirFallbacksAreMadePrivate) {
    test::TempDir dir;
    ScopedVariable home("HOME", dir.path().string()), config("XDG_CONFIG_HOME", "relative/cfg"),
        data("XDG_DATA_HOME", (dir / "data").string());
    EXPECT_EQ(std::tuple(configFolder(), dataFolder()),
              std::tuple(dir / ".config" / "vellora", dir / "data" / "vellora"));
    std::error_code error;
    for (int twice = 0; twice < 2; ++twice)
        EXPECT_TRUE(makeUserFolder(configFolder(), error)) << error.message();
    EXPECT_EQ(fs::status(dir / ".config").permissions() & fs::perms::all, fs::perms::owner_all);
    test::writeFileBytes(dir / "file", {1});
    EXPECT_FALSE(makeUserFolder(dir / "file" / "below", error));
    EXPECT_EQ(error, std::errc::not_a_directory);
    EXPECT_FALSE(makeUserFolder(dir / std::string(300, 'n'), error)); // longer than a name can be
    EXPECT_EQ(error, std::errc::filename_too_long);
}

// A bitmap reader, which opens through here, says why it could not.
TEST(RegularFile, OnlyRegularFilesOpenAndNothingWaits) {
    test::TempDir dir;
    test::writeFileBytes(dir / "plain.csv", {'1'});
    ASSERT_EQ(::mkfifo((dir / "fifo.csv").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.csv");
    constexpr const char* kNotRegular = "it is not a regular file";
    const std::tuple<const char*, ReadOpen, const char*> cases[] = {
        {"plain.csv", ReadOpen::ok, ""},
        {"fifo.csv", ReadOpen::notRegular, kNotRegular},
        {"folder.csv", ReadOpen::notRegular, kNotRegular},
        {"missing.csv", ReadOpen::failed, "No such file or directory"}};
    for (const auto& [name, expected, why] : cases) {
        ReadOpen outcome = ReadOpen::failed;
        const ReadFile file = openRegularFile(dir / name, &outcome);
        EXPECT_EQ(std::tuple(outcome, file != nullptr),
                  std::tuple(expected, expected == ReadOpen::ok))
            << name;
        if (expected == ReadOpen::ok) continue;
        test::RecordingFrontend frontend;
        DibImage image;
        EXPECT_EQ(readBitmapFile(frontend, dir / name, image), 1);
        EXPECT_EQ(frontend.texts(),
                  std::vector<std::string>{"failed to open the file\ncannot read \"" +
                                           (dir / name).string() + "\": " + why});
    }
}

// Every row once, in contiguous bands: as many as the smallest band allows, up to the thread count
// (VELLORA_THREADS ≤ 64, else cores). Nested jobs run; a caller band's throw waits for the rest.
TEST(Parallel, EveryRowOnceInBandsNestedAndFailingJobs) {
    const int cores = workerThreadCount();
    for (const char* unusable : {"0", "junk"}) {
        ScopedVariable v("VELLORA_THREADS", unusable);
        EXPECT_EQ(workerThreadCount(), cores);
    }
    // {threads, rows, least rows per band, bands}
    const std::tuple<const char*, int, int, int> cases[] = {
        {"1", 100, 16, 1}, {"2", 100, 16, 2}, {"4", 7, 1, 4},   {"8", 5, 16, 1},
        {"3", 1, 1, 1},    {"2", 0, 16, 0},   {"2", -3, 16, 0}, {"100", 97, 1, 64}};
    for (const auto& [threads, rows, minRowsPerBand, expectedBands] : cases) {
        SCOPED_TRACE(std::string(threads) + " threads, " + std::to_string(rows) + " rows");
        ScopedVariable v("VELLORA_THREADS", threads);
        std::vector<std::atomic<int>> visits(std::size_t(std::max(rows, 0)));
        std::atomic<int> bands{0};
        const auto band = [&](int begin, int end) {
            bands += 1;
            const auto visit = [&](int b, int e) {
                for (int y = begin + b; y < begin + e; ++y)
                    visits[std::size_t(y)] += 1;
            };
            parallelRows(end - begin, visit, 1);
        };
        parallelRows(rows, band, minRowsPerBand);
        for (int y = 0; y < rows; ++y)
            ASSERT_EQ(visits[std::size_t(y)].load(), 1) << y;
        EXPECT_EQ(bands.load(), expectedBands);
    }
    ScopedVariable v("VELLORA_THREADS", "3");
    std::atomic<int> othersDone{0};
    const auto firstFails = [&](int begin, int) {
        if (begin == 0) throw std::runtime_error("band 0");
        othersDone += 1;
    };
    EXPECT_THROW(parallelRows(30, firstFails, 1), std::runtime_error);
    EXPECT_EQ(othersDone.load(), 2);
}

TEST(SimdLevel, NamesParseBackLevelsFallBackAndABadVariableIsReported) {
    const SimdLevel before = simdLevel();
    for (const auto& [level, name] : {std::pair{SimdLevel::Baseline, "baseline"},
                                      {SimdLevel::Avx2, "avx2"},
                                      {SimdLevel::Avx512, "avx512"}}) {
        SimdLevel parsed = SimdLevel((int(level) + 1) % kSimdLevels);
        EXPECT_TRUE(std::string(simdLevelName(level)) == name && parseSimdLevel(name, parsed) &&
                    parsed == level)
            << name;
        const SimdLevel expected =
            int(level) <= int(processorSimdLevel()) ? level : processorSimdLevel();
        EXPECT_EQ(setSimdLevel(level), expected);
        EXPECT_EQ(simdLevel(), expected);
    }
    setSimdLevel(before);
    for (const char* text : {"", "AVX2", "avx", "baseline ", "avx5120"}) {
        SimdLevel level = SimdLevel::Avx2;
        EXPECT_FALSE(parseSimdLevel(text, level) || level != SimdLevel::Avx2) << text;
    }
    char text[100] = {};
    std::FILE* errors = ::fmemopen(text, sizeof text, "w");
    ScopedVariable good("VELLORA_SIMD", "avx2");
    EXPECT_TRUE(simdEnvironmentAccepted(errors));
    ScopedVariable bad("VELLORA_SIMD", "sse2");
    EXPECT_FALSE(simdEnvironmentAccepted(errors));
    std::fclose(errors);
    EXPECT_STREQ(text, "VELLORA_SIMD must be baseline, avx2 or avx512, got \"sse2\"\n");
}

} // namespace
} // namespace vellora
