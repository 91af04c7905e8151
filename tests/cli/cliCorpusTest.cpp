// The broken bitmaps among the test pictures through the whole program: a clean failure or a
// picture, never a crash, and never an output that is not complete.
#include "cliProcess.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace vellora::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> brokenBitmaps() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(VELLORA_CORPUS_DIR) / "bmp/b", error))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

class CliBrokenInput : public ::testing::TestWithParam<std::string> {};

TEST_P(CliBrokenInput, FailsCleanlyOrOpens) {
    TempDir root;
    const fs::path work = root / "work";
    const fs::path temp = root / "tmp";
    fs::create_directory(work);
    fs::create_directory(temp);
    const fs::path input = work / GetParam();
    fs::copy_file(fs::path(VELLORA_CORPUS_DIR) / "bmp/b" / GetParam(), input);
    const std::vector<std::uint8_t> before = readFileBytes(input);

    const CliResult result = runCli({GetParam(), "rotate-right", "-o", "out.png"}, work, temp);
    EXPECT_EQ(result.signal, 0) << "crashed";
    ASSERT_TRUE(result.exitStatus == 0 || result.exitStatus == 1) << result.exitStatus;
    if (result.exitStatus == 1) {
        EXPECT_FALSE(fs::exists(work / "out.png"));
        ASSERT_FALSE(result.errLines().empty());
        EXPECT_EQ(result.errLines().front().rfind("error: ", 0), 0u);
    } else {
        EXPECT_TRUE(fs::exists(work / "out.png"));
    }
    EXPECT_EQ(readFileBytes(input), before);
    EXPECT_EQ(folderEntries(temp), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(BmpSuiteBad, CliBrokenInput, ::testing::ValuesIn(brokenBitmaps()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(CliBrokenInputCorpus, IsThere) {
    EXPECT_FALSE(brokenBitmaps().empty()) << VELLORA_CORPUS_DIR;
}

} // namespace
} // namespace vellora::test
