#include "color/userPalette.h"
#include "color/evenPaletteFile.h"
#include "color/presetPalette.h"
#include "support/recordingFrontend.h"
#include "support/testImages.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vellora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class UserPaletteLoading : public testing::Test {
  protected:
    std::string write(const std::string& name, const Bytes& bytes) {
        writeFileBytes(folder / name, bytes);
        return (folder / name).string();
    }
    std::string writeText(const std::string& name, const std::string& text) {
        return write(name, Bytes(text.begin(), text.end()));
    }
    std::string fifo(const std::string& name) {
        EXPECT_EQ(::mkfifo((folder / name).c_str(), 0600), 0);
        return (folder / name).string();
    }
    // Loads and checks that a failure leaves the palette as it was.
    int load(const std::string& path) {
        palette.buffer.fill(0xAB);
        palette.formatFlag = 7;
        const int result = loadUserPalette(frontend, palette, path);
        if (result != 0) {
            EXPECT_EQ(palette.buffer[0], 0xAB);
            EXPECT_EQ(palette.formatFlag, 7);
        }
        return result;
    }
    TempDir folder;
    RecordingFrontend frontend;
    UserPalette palette;
};

TEST_F(UserPaletteLoading, EvenFilesKeepTheirBytesAndRecordCsvFilesGiveEntriesAndCount) {
    const Bytes file = evenPaletteFileBytes(8, 6, 5);
    ASSERT_EQ(load(write("mine.ecp", file)), 0);
    EXPECT_EQ(palette.formatFlag, 0);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), palette.buffer.begin()));
    EXPECT_EQ(palette.record.colorCount, 240u);
    EXPECT_EQ(palette.record.divisions[2], 8);
    ASSERT_EQ(load(write("one.ecp", evenPaletteFileBytes(1, 1, 1))), 0); // a single colour
    EXPECT_EQ(palette.record.colorCount, 1u);
    ASSERT_EQ(load(writeText("mine.csv", "red,green,blue\n255,128,1\n0,0,0\n")), 0);
    EXPECT_EQ(palette.formatFlag, 1);
    EXPECT_EQ(palette.record.colorCount, 2u);
    EXPECT_EQ(Bytes(palette.buffer.begin(), palette.buffer.begin() + 9),
              (Bytes{1, 128, 255, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(frontend.messages.empty());
    // Only the exact lower-case extension means an even palette; a capital one is read as CSV.
    for (const auto& [name, even] : {std::pair{"a.ecp", true},
                                     {"a.ECP", false},
                                     {"a.Ecp", false},
                                     {"a.ecp.csv", false},
                                     {"a.csv", false},
                                     {"noextension", false}})
        EXPECT_EQ(isEvenPalettePath(name), even) << name;
    EXPECT_EQ(load(write("capital.ECP", evenPaletteFileBytes(2, 1, 1))), 1);
    EXPECT_EQ(frontend.texts(),
              std::vector<std::string>{"illegal file structure as a color palette csv file"});
}

TEST_F(UserPaletteLoading, FailuresShowOneErrorMessage) {
    Bytes inconsistent = evenPaletteFileBytes(6, 6, 6);
    inconsistent[1044 - 20] = 200; // colour count no longer the product of the divisions
    Bytes zeroDivisions = evenPaletteFileBytes(2, 1, 1);
    zeroDivisions[28 - 16] = 0;
    Bytes tooManyColours = evenPaletteFileBytes(6, 6, 6);
    tooManyColours.erase(tooManyColours.begin() + 84, tooManyColours.end() - 20); // 16 entries
    Bytes longFile = evenPaletteFileBytes(6, 6, 6);
    longFile.push_back(0);
    const struct {
        const char* what;
        std::string path;
        std::string message; // with its cause line where the cause is the program's own
    } cases[] = {
        {"missing .ecp", (folder / "none.ecp").string(),
         "failed to open the even color palette file"},
        {"folder as .ecp", folder.path().string() + "/.ecp",
         "failed to open the even color palette file"},
        {"empty path", "", "failed to open the csv file cause might be illegal data"},
        {"missing csv", (folder / "none.csv").string(),
         "failed to open the csv file cause might be illegal data"},
        {"ecp longer than 1044 bytes", write("long.ecp", longFile), kBadEvenPaletteText.data()},
        {"ecp shorter than its record", write("short.ecp", Bytes(19, 1)),
         kBadEvenPaletteText.data()},
        {"inconsistent count", write("count.ecp", inconsistent), kBadEvenPaletteText.data()},
        {"zero divisions", write("zero.ecp", zeroDivisions), kBadEvenPaletteText.data()},
        {"more colours than entries", write("few.ecp", tooManyColours), kBadEvenPaletteText.data()},
        {"csv value", writeText("v.csv", "r,g,b\n1,2,256\n"),
         "illegal data value found which must be among 0 ~ 255"},
        {"csv structure", writeText("s.csv", "r,g\n1,2,3\n"),
         "illegal file structure as a color palette csv file"},
        {"fifo as .ecp", fifo("f.ecp"),
         "failed to open the even color palette file\ncannot read \"" +
             (folder / "f.ecp").string() + "\": it is not a regular file"},
        {"fifo as csv", fifo("f.csv"),
         "failed to open the csv file cause might be illegal data\ncannot read \"" +
             (folder / "f.csv").string() + "\": it is not a regular file"},
    };
    for (const auto& c : cases) {
        frontend.clear();
        EXPECT_EQ(load(c.path), 1) << c.what;
        const bool withCause = c.message.find('\n') != std::string::npos;
        EXPECT_EQ(withCause ? frontend.messages : frontend.withoutCauses(),
                  (std::vector<Message>{{"error", c.message}}))
            << c.what;
    }
}

} // namespace
} // namespace vellora::test
