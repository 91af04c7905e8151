#include "core/parameterFields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <tuple>

namespace vellora {
namespace {

// offset: where the first value lands.
struct GoodValue {
    const char* name;
    const char* value;
    std::size_t offset;
    std::int32_t first, last;
    int count;
};

const GoodValue kGoodValues[] = {
    {"tileCountWide", "80", 784, 80, 80, 1},
    {"tileCountWide", "+1", 784, 1, 1, 1},
    {"tileCountHigh", "9999", 776, 9999, 9999, 1},
    {"slitPixelWidth", "0", 792, 0, 0, 1},
    {"tilingPaletteClass", "0", 760, 0, 0, 1},
    {"rotateAngle", "-45", 192, -45, -45, 1},
    {"evenDivisions", "1,2,9", 180, 1, 9, 3},
    {"colorChoice", "7,1,10,1", 248, 7, 1, 4},
    {"edgeDetectChoice", "3,3,8", 632, 3, 8, 3},
    {"cropRect", "1,2,3,4", 208, 1, 4, 4},
    {"cropLeft", "5", 208, 5, 5, 1},
    {"cropBottom", "6", 212, 6, 6, 1},
    {"cropRight", "7", 216, 7, 7, 1},
    {"cropTop", "8", 220, 8, 8, 1},
    {"userFilterMask", "-1,0,0,0,0,0,0,0,0,0,0,0,4,0,0,0,0,0,0,0,0,0,0,0,-2", 656, -1, -2, 25},
    {"bwThreshold", "255", 540, 255, 255, 1},
    {"saveQuality", "0", 172, 0, 0, 1},
    {"posterLevelRGB", "128", 564, 128, 128, 1},
    {"grayLevelIndex", "7", 528, 7, 7, 1},
    {"smoothingIndex", "9", 616, 9, 9, 1},
    {"bwEndset", "0", 552, 0, 0, 1},
};

std::int32_t int32At(const ParameterBlock& block, std::size_t offset) {
    std::int32_t value;
    std::memcpy(&value, reinterpret_cast<const std::uint8_t*>(&block) + offset, 4);
    return value;
}

class SetParameterGood : public ::testing::TestWithParam<GoodValue> {};

TEST_P(SetParameterGood, StoresAtTheFieldsOffset) {
    const GoodValue c = GetParam();
    ParameterBlock block = defaultParameterBlock();
    std::string error;
    ASSERT_TRUE(setParameter(block, c.name, c.value, error)) << error;
    EXPECT_EQ(std::tuple(int32At(block, c.offset),
                         int32At(block, c.offset + 4 * std::size_t(c.count - 1)), error),
              std::tuple(c.first, c.last, std::string()));
}

INSTANTIATE_TEST_SUITE_P(Cases, SetParameterGood, ::testing::ValuesIn(kGoodValues));

struct BadValue {
    const char* name;
    const char* value;
    const char* message;
};

const BadValue kBadValues[] = {
    {"tileCountWide", "0", "tileCountWide must be 1 … 9999, got 0"},
    {"tileCountWide", "10000", "tileCountWide must be 1 … 9999, got 10000"},
    {"tileCountWide", "", "tileCountWide must be an integer, got \"\""},
    {"tileCountWide", "12x", "tileCountWide must be an integer, got \"12x\""},
    {"tileCountWide", " 12", "tileCountWide must be an integer, got \" 12\""},
    {"tileCountWide", "++3", "tileCountWide must be an integer, got \"++3\""},
    {"tileCountWide", "99999999999999999999",
     "tileCountWide must be an integer, got \"99999999999999999999\""},
    {"tileCountWide", "3,4", "tileCountWide takes one value, got \"3,4\""},
    {"grayLevelIndex", "8", "grayLevelIndex must be 0 … 7, got 8"},
    {"grayLevelIndex", "-1", "grayLevelIndex must be 0 … 7, got -1"},
    {"bwThreshold", "256", "bwThreshold must be 0 … 255, got 256"},
    {"saveQuality", "101", "saveQuality must be 0 … 100, got 101"},
    {"posterLevelRGB", "1", "posterLevelRGB must be 2 … 128, got 1"},
    {"tilingPaletteClass", "3", "tilingPaletteClass must be 0 … 2, got 3"},
    {"tilingConvert", "2", "tilingConvert must be 0 … 1, got 2"}, // a yes-or-no flag
    {"evenDivisions", "8,6", "evenDivisions takes 3 comma-separated values, got 2"},
    {"evenDivisions", "8,0,5", "evenDivisions value 2 must be 1 … 9, got 0"},
    {"colorChoice", "7,2,9,0", "colorChoice value 2 must be 0 … 1, got 2"},
    {"colorChoice", "8,1,9,0", "colorChoice value 1 must be 0 … 7, got 8"},
    {"edgeDetectChoice", "4,0,0", "edgeDetectChoice value 1 must be 0 … 3, got 4"},
    {"cropLeft", "-1", "cropLeft must be 0 … 2147483647, got -1"},
    {"rotateAngle", "2147483648", "rotateAngle must be -2147483648 … 2147483647, got 2147483648"},
    {"tileCountWidth", "5", "unknown parameter \"tileCountWidth\""},
    {"", "5", "unknown parameter \"\""},
};

class SetParameterBad : public ::testing::TestWithParam<BadValue> {};

TEST_P(SetParameterBad, RefusesWithMessageAndKeepsBlock) {
    const BadValue c = GetParam();
    ParameterBlock block = defaultParameterBlock();
    const ParameterBlock before = block;
    std::string error;
    EXPECT_FALSE(setParameter(block, c.name, c.value, error));
    EXPECT_EQ(error, c.message);
    EXPECT_EQ(std::memcmp(&block, &before, sizeof block), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetParameterBad, ::testing::ValuesIn(kBadValues));

// Stored zero-filled, and only with room left for its terminator.
TEST(SetParameter, PathIsStoredZeroFilledAndMustFit) {
    ParameterBlock block = defaultParameterBlock();
    std::memset(block.userPalettePath, 'q', sizeof block.userPalettePath);
    std::string error;
    ASSERT_TRUE(setParameter(block, "userPalettePath", "my.csv", error));
    EXPECT_STREQ(block.userPalettePath, "my.csv");
    for (std::size_t i = 6; i < sizeof block.userPalettePath; ++i)
        ASSERT_EQ(block.userPalettePath[i], 0) << i;
    EXPECT_EQ(parameterValueText(block, *findParameterField("userPalettePath")), "my.csv");
    EXPECT_TRUE(setParameter(block, "userPalettePath", std::string(259, 'a'), error));
    EXPECT_FALSE(setParameter(block, "userPalettePath", std::string(260, 'b'), error));
    EXPECT_EQ(error, "userPalettePath must be shorter than 260 bytes, got 260");
    EXPECT_EQ(block.userPalettePath[0], 'a');
    EXPECT_FALSE(setParameter(block, "userPalettePath", std::string("a\0b", 3), error));
}

TEST(ParameterFields, EveryNameIsUniqueAndFound) {
    std::set<std::string_view> names;
    for (const ParameterField& field : parameterFields()) {
        EXPECT_TRUE(names.insert(field.name).second) << field.name;
        EXPECT_EQ(findParameterField(field.name), &field);
        EXPECT_LE(field.offset + 4 * std::size_t(field.count), kParameterBlockBytes) << field.name;
        EXPECT_FALSE(field.help.empty()) << field.name;
    }
    EXPECT_EQ(findParameterField("nonsense"), nullptr);
}

// A field of named choices takes exactly their numbers; a save-as-default flag is 0 or 1, off
// in a fresh block.
TEST(ParameterFields, ChoiceFieldsTakeTheirChoicesAndFlagsZeroOrOne) {
    int choiceFields = 0, flags = 0;
    for (const ParameterField& field : parameterFields()) {
        if (!field.choices.empty() && field.count == 1) {
            ++choiceFields;
            EXPECT_EQ(std::tuple(valueMinimum(field, 0), valueMaximum(field, 0)),
                      std::tuple(0, std::int64_t(field.choices.size()) - 1))
                << field.name;
        }
        if (field.help.starts_with("save-as-default flag")) {
            ++flags;
            EXPECT_EQ(std::tuple(field.minimum, field.maximum, field.defaultValue),
                      std::tuple(0, 1, 0))
                << field.name;
        }
    }
    EXPECT_EQ(std::tuple(choiceFields > 10, flags),
              std::tuple(true, kSaveGroupCount - 1)); // a flag for each group but None
}

// Every byte of the block outside the reserved areas belongs to exactly one field (aliases aside).
TEST(ParameterFields, CoverEveryNamedByteOnce) {
    std::vector<int> owners(kParameterBlockBytes, 0);
    for (const ParameterField& field : parameterFields()) {
        if (field.name.starts_with("crop") && field.name != "cropRect") continue;
        const std::size_t size = field.kind == FieldKind::Path ? 260 : 4 * std::size_t(field.count);
        for (std::size_t i = field.offset; i < field.offset + size; ++i)
            owners[i] += 1;
    }
    const std::pair<std::size_t, std::size_t> reserved[] = {
        {0, 12}, {20, 36}, {52, 68}, {76, 84}, {152, 168}};
    for (std::size_t i = 0; i < kParameterBlockBytes; ++i) {
        bool isReserved = false;
        for (auto [begin, end] : reserved)
            isReserved |= i >= begin && i < end;
        ASSERT_EQ(owners[i], isReserved ? 0 : 1) << "byte " << i;
    }
}

TEST(ParameterFields, DefaultsLieInsideTheirRangesAndValueTextRoundTrips) {
    const ParameterBlock defaults = defaultParameterBlock();
    ParameterBlock repaired = defaults;
    repairParameterBlock(repaired);
    EXPECT_EQ(std::memcmp(&repaired, &defaults, sizeof defaults), 0);
    EXPECT_EQ(std::tuple(defaults.screenWidth, defaults.screenHeight, defaults.windowRect[2],
                         defaults.windowWidth, defaults.windowHeight),
              std::tuple(0u, 0u, 0, 0u, 0u)); // no screen or window is known yet
    ParameterBlock block = defaultParameterBlock();
    EXPECT_EQ(parameterValueText(block, *findParameterField("evenDivisions")) + " " +
                  parameterValueText(block, *findParameterField("tileCountWide")),
              "8,6,5 64");
    block.rotateAngle = -30;
    EXPECT_EQ(parameterValueText(block, *findParameterField("rotateAngle")), "-30");
    for (const ParameterField& field : parameterFields()) {
        ParameterBlock copy = defaultParameterBlock();
        std::string error;
        ASSERT_TRUE(setParameter(copy, field.name, parameterValueText(block, field), error))
            << field.name << ": " << error;
        EXPECT_EQ(parameterValueText(copy, field), parameterValueText(block, field));
    }
}

TEST(ParameterFields, RepairReplacesOnlyBadValues) {
    ParameterBlock block = defaultParameterBlock();
    block.histEndset[1] = 300, block.histEndset[2] = 17;
    block.hSlitGrayIndex = 6, block.vSlitGrayIndex = 5;
    block.tilePixelWidth = 0, block.saveTiling = 2;
    repairParameterBlock(block);
    EXPECT_EQ(std::tuple(block.histEndset[1], block.histEndset[2], block.hSlitGrayIndex,
                         block.vSlitGrayIndex, block.saveTiling),
              std::tuple(255u, 17u, 1u, 5u, 0u));
    EXPECT_EQ(block.tilePixelWidth, 9);
}

TEST(ParameterFields, DescriptionListsEveryFieldWithDefault) {
    const std::string text = describeParameterFields();
    EXPECT_NE(text.find("  tileCountWide=1 … 9999 (default 64)"), std::string::npos);
    EXPECT_NE(text.find("  evenDivisions=3 values 1 … 9 (default 8,6,5)"), std::string::npos);
    EXPECT_NE(text.find("  userPalettePath=PATH (default empty)"), std::string::npos);
    EXPECT_EQ(std::size_t(std::count(text.begin(), text.end(), '\n')), parameterFields().size());
}

} // namespace
} // namespace vellora
