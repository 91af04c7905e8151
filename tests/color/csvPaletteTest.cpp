#include "color/csvPalette.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace vellora::test {
namespace {

using R = CsvPaletteResult;

struct CsvCase {
    const char* what;
    std::string text;
    CsvPaletteResult result;
    std::vector<std::uint32_t> rgb; // the colours read, 0xRRGGBB
};

std::string lines(int colorLines) {
    std::string text = "red,green,blue\n";
    for (int i = 0; i < colorLines; ++i)
        text += std::to_string(i % 256) + ",0,1\n";
    return text;
}

std::vector<CsvCase> cases() {
    return {
        {"header and two colours", "red,green,blue\n1,2,3\n4,5,6\n", R::Ok, {0x010203, 0x040506}},
        {"trailing empty header field", "red,green,blue,\n10,20,30\n", R::Ok, {0x0A141E}},
        {"four named header fields", "red,green,blue,alpha\n1,2,3\n", R::IllegalStructure, {}},
        {"two header fields", "red,green\n1,2,3\n", R::IllegalStructure, {}},
        {"empty header", "\n1,2,3\n", R::IllegalStructure, {}},
        {"comments anywhere",
         ";c\n//c\nr,g,b\n;x\n1,2,3\n// y\n4,5,6\n;z",
         R::Ok,
         {0x010203, 0x040506}},
        {"slash alone is no comment", "/r,g,b\n1,2,3\n", R::Ok, {0x010203}},
        {"quoted number in blanks", "r,g,b\n  \"12\"  ,0,0\n", R::Ok, {0x0C0000}},
        {"tab before a field", "r,g,b\n\t7,8,9\n", R::Ok, {0x070809}},
        {"letters read as 0", "r,g,b\nabc,1,2\n", R::Ok, {0x000102}},
        {"sign and trailing text", "r,g,b\n+7, 9x,255\n", R::Ok, {0x0709FF}},
        {"extra fields ignored", "r,g,b\n1,2,3,4,five\n", R::Ok, {0x010203}},
        {"minus one", "r,g,b\n-1,0,0\n", R::IllegalValue, {}},
        {"256", "r,g,b\n0,0,256\n", R::IllegalValue, {}},
        {"huge number", "r,g,b\n0,99999999999999,0\n", R::IllegalValue, {}},
        {"blank line", "r,g,b\n1,2,3\n\n4,5,6\n", R::IllegalData, {}},
        {"too few fields", "r,g,b\n1,2\n", R::IllegalData, {}},
        {"empty third field reads 0", "r,g,b\n1,2,\n", R::Ok, {0x010200}},
        {"last line without line feed", "r,g,b\n1,2,3\n4,5,6", R::Ok, {0x010203}},
        {"only a header", "r,g,b\n", R::IllegalStructure, {}},
        {"header without line feed", "r,g,b", R::IllegalStructure, {}},
        {"empty file", "", R::IllegalData, {}},
        {"only comments", ";a\n//b\n", R::IllegalData, {}},
        {"carriage returns", "r,g,b\r\n1,2,3\r\n", R::Ok, {0x010203}},
        {"field of 62 characters",
         "r,g,b\n" + std::string(60, '0') + "12,0,0\n",
         R::Ok,
         {0x0C0000}},
        {"field of 63 characters",
         "r,g,b\n" + std::string(61, '0') + "12,0,0\n",
         R::IllegalData,
         {}},
        {"long header field", "r,g," + std::string(63, 'b') + "\n1,2,3\n", R::IllegalData, {}},
        {"line of 4094 characters",
         "r,g,b\n1,2,3," + std::string(4088, ' ') + "\n",
         R::Ok,
         {0x010203}},
        {"line of 4095 characters",
         "r,g,b\n1,2,3," + std::string(4089, ' ') + "\n",
         R::IllegalData,
         {}},
        {"line counts come before fields", lines(257) + "1,2\n", R::IllegalStructure, {}},
        {"fields come before values", "r,g,b\n300,0,0\n1,2\n", R::IllegalData, {}},
    };
}

TEST(CsvPalette, EveryRule) {
    for (const CsvCase& c : cases()) {
        SCOPED_TRACE(c.what);
        std::array<std::uint8_t, 1024> entries;
        entries.fill(0xEE);
        std::uint32_t count = 999;
        ASSERT_EQ(parseCsvPalette(c.text, entries.data(), count), c.result);
        if (c.result != R::Ok) {
            EXPECT_EQ(count, 999u); // a failed parse leaves its outputs alone
            EXPECT_EQ(entries[0], 0xEE);
            continue;
        }
        ASSERT_EQ(count, c.rgb.size());
        for (std::size_t i = 0; i < c.rgb.size(); ++i) {
            const std::uint8_t* e = entries.data() + 4 * i;
            EXPECT_EQ(std::uint32_t(e[2] << 16 | e[1] << 8 | e[0]), c.rgb[i]) << i;
            EXPECT_EQ(e[3], 0);
        }
    }
}

TEST(CsvPalette, From1To256Colours) {
    const struct {
        int colorLines;
        CsvPaletteResult result;
    } cases[] = {{0, R::IllegalStructure}, {1, R::Ok}, {256, R::Ok}, {257, R::IllegalStructure}};
    for (const auto& c : cases) {
        std::array<std::uint8_t, 1024> entries{};
        std::uint32_t count = 0;
        EXPECT_EQ(parseCsvPalette(lines(c.colorLines), entries.data(), count), c.result)
            << c.colorLines;
        if (c.result == R::Ok) {
            EXPECT_EQ(count, std::uint32_t(c.colorLines));
            EXPECT_EQ(entries[4 * (count - 1) + 2], (count - 1) % 256);
        }
    }
}

TEST(CsvPalette, MessagesOfTheResults) {
    EXPECT_EQ(csvPaletteMessage(R::IllegalData),
              "failed to open the csv file cause might be illegal data");
    EXPECT_EQ(csvPaletteMessage(R::IllegalStructure),
              "illegal file structure as a color palette csv file");
    EXPECT_EQ(csvPaletteMessage(R::IllegalValue),
              "illegal data value found which must be among 0 ~ 255");
}

} // namespace
} // namespace vellora::test
