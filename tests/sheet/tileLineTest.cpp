#include "sheet/tileLine.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace vellora {
namespace {

std::string colorLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "c" + std::to_string(i) + ",C" + std::to_string(i) + ",1,2,3\n";
    return text;
}

TEST(TileLine, ReadsColumnsInAnyOrderWithCommentsQuotesAndOptionalColumns) {
    const std::string text = "# a maker's line\r\n"
                             "blue , stock,name,notes,code,green,red,pack\r\n"
                             "\n"
                             "  # a comment between rows\n"
                             "3,0,\"Deep, dark \"\"red\"\"\",x,R-1,2,1,25\n"
                             "30,,Sky,,S-2,20,10,\n"
                             "255,1,White,,W,255,255";
    TileLine line;
    std::string error;
    ASSERT_TRUE(parseTileLine(text, line, error)) << error;
    ASSERT_EQ(line.colors.size(), 3u);
    const TileColor& first = line.colors[0];
    EXPECT_EQ(first.name, "Deep, dark \"red\"");
    EXPECT_EQ(first.code, "R-1");
    EXPECT_EQ(first.rgb, (std::array<std::uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(first.pack, 25);
    EXPECT_FALSE(first.inStock);
    EXPECT_EQ(line.colors[1].rgb, (std::array<std::uint8_t, 3>{10, 20, 30}));
    EXPECT_EQ(line.colors[1].pack, 0); // the design's pack size
    EXPECT_TRUE(line.colors[1].inStock);
    EXPECT_EQ(line.colors[2].name, "White");
}

struct BadFile {
    const char* what;
    std::string text;
    std::string message;
};

class BadTileLine : public testing::TestWithParam<BadFile> {};

TEST_P(BadTileLine, NamesLineAndColumnAndLeavesTheLineAsItWas) {
    TileLine line;
    line.colors.push_back({"kept", "K", {9, 9, 9}});
    std::string error;
    EXPECT_FALSE(parseTileLine(GetParam().text, line, error));
    EXPECT_EQ(error, GetParam().message);
    ASSERT_EQ(line.colors.size(), 1u);
    EXPECT_EQ(line.colors[0].name, "kept");
}

const std::string kHeader = "name,code,red,green,blue\n";

INSTANTIATE_TEST_SUITE_P(
    Files, BadTileLine,
    testing::Values(
        BadFile{"empty", "", "the file is empty: no header line naming the columns"},
        BadFile{"comments only", "# nothing\n\n",
                "the file is empty: no header line naming the columns"},
        BadFile{"missing column", "# x\nname,code,red,green\n",
                "line 2 (header): no column \"blue\""},
        BadFile{"no green", "name,code,red,blue\n", "line 1 (header): no column \"green\""},
        BadFile{"duplicate column", "name,code,Red,green,blue,red\n",
                "line 1 (header): column \"red\" named twice"},
        BadFile{"header only", kHeader, "no colour after the header"},
        BadFile{"bad number", kHeader + "a,b,1,2x,3\n",
                "line 2, column 4 (green): \"2x\" is not a whole number"},
        BadFile{"out of range", kHeader + "a,b,1,2,3\n# c\na,b,256,2,3\n",
                "line 4, column 3 (red): \"256\" is out of range 0 to 255"},
        BadFile{"negative", kHeader + "a,b,-1,2,3\n",
                "line 2, column 3 (red): \"-1\" is out of range 0 to 255"},
        BadFile{"missing field", kHeader + "a,b,1,2\n", "line 2, column 5 (blue): missing"},
        BadFile{"empty name", kHeader + ",b,1,2,3\n", "line 2, column 1 (name): the name is empty"},
        BadFile{"bad pack", "name,code,red,green,blue,pack\na,b,1,2,3,0\n",
                "line 2, column 6 (pack): \"0\" is out of range 1 to 1000000"},
        BadFile{"bad stock", "name,code,red,green,blue,stock\na,b,1,2,3,2\n",
                "line 2, column 6 (stock): \"2\" is out of range 0 to 1"},
        BadFile{"nothing in stock", "name,code,red,green,blue,stock\na,b,1,2,3,0\n",
                "no colour of the line is in stock"},
        BadFile{"open quote", kHeader + "\"a,b,1,2,3\n", "line 2: a quoted field is not closed"},
        BadFile{"too many colours", kHeader + colorLines(257), "line 258: more than 256 colours"}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::erase(name, ' ');
        return name;
    });

TEST(TileLine, TheMostColoursAreAccepted) {
    TileLine line;
    std::string error;
    EXPECT_TRUE(parseTileLine(kHeader + colorLines(256), line, error)) << error;
    EXPECT_EQ(line.colors.size(), 256u);
}

TEST(TileLine, SampleLinesLoad) {
    struct Sample {
        const char* file;
        std::size_t colors;
        std::size_t outOfStock;
    };
    for (const Sample& sample :
         {Sample{"cssBasic.tiles", 16, 2}, Sample{"cssExtended.tiles", 147, 0}}) {
        TileLine line;
        std::string error;
        ASSERT_TRUE(
            loadTileLine(std::filesystem::path(VELLORA_TILE_LINES_DIR) / sample.file, line, error))
            << error;
        EXPECT_EQ(line.colors.size(), sample.colors) << sample.file;
        EXPECT_EQ(std::size_t(std::ranges::count(line.colors, false, &TileColor::inStock)),
                  sample.outOfStock);
    }
}

TEST(TileLine, AFileThatCannotBeReadIsNamed) {
    test::TempDir dir;
    const std::string fifo = (dir / "line.tiles").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {(dir / "none.tiles").string(), "does not exist"},
        {dir.path().string(), "is not a file"},
        {fifo, "is not a file"}, // never opened: the read would wait for a writer
    };
    for (const auto& [path, why] : cases) {
        TileLine line;
        std::string error;
        EXPECT_FALSE(loadTileLine(path, line, error));
        EXPECT_EQ(error, "tile line \"" + path + "\": " + why);
    }
}

} // namespace
} // namespace vellora
