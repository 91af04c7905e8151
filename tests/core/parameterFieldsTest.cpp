// Parameter fields: set by name or refused, block layout, defaults, damage repair, --help text.
#include "core/parameterFields.h"
#include "support/testImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <tuple>

namespace vellora {
namespace {

// Every value takes either end of its range and gives it back as text, changing only its field's
// bytes; values land in the named members in order, a leading plus taken; cropLeft … cropTop: crop.
TEST(SetParameter, EveryFieldTakesTheEndsOfItsRangesAndChangesOnlyItsBytes) {
    const ParameterBlock before = defaultParameterBlock();
    const auto* beforeBytes = reinterpret_cast<const std::uint8_t*>(&before);
    for (const ParameterField& field : parameterFields()) {
        for (const bool low : {false, true}) {
            if (field.kind == FieldKind::Path) continue;
            SCOPED_TRACE(std::string(field.name) + (low ? " low" : " high"));
            std::string text;
            for (int i = 0; i < field.count; ++i)
                text += (i > 0 ? "," : "") +
                        std::to_string(low ? valueMinimum(field, i) : valueMaximum(field, i));
            ParameterBlock block = before;
            std::string error;
            ASSERT_TRUE(setParameter(block, field.name, text, error)) << error;
            EXPECT_EQ(parameterValueText(block, field), text);
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(&block);
            const std::size_t end = field.offset + 4 * std::size_t(field.count);
            EXPECT_TRUE(std::equal(bytes, bytes + field.offset, beforeBytes) &&
                        std::equal(bytes + end, bytes + kParameterBlockBytes, beforeBytes + end));
        }
    }
    ParameterBlock block = before;
    std::string error;
    for (const auto& [name, value] :
         {std::pair{"tileCountWide", "+80"}, {"evenDivisions", "1,2,9"}, {"cropRect", "1,2,3,4"}})
        ASSERT_TRUE(setParameter(block, name, value, error)) << name << ": " << error;
    EXPECT_EQ(std::tuple(block.tileCountWide, block.evenDivisions[0], block.evenDivisions[1],
                         block.evenDivisions[2], block.cropRect[3]),
              std::tuple(80, 1u, 2u, 9u, 4));
    for (const auto& [alias, value] :
         {std::pair{"cropLeft", "1"}, {"cropBottom", "2"}, {"cropRight", "3"}, {"cropTop", "4"}})
        EXPECT_EQ(parameterValueText(block, *findParameterField(alias)), value);
}

// The message says what is wrong, and the block stays as it was.
TEST(SetParameter, RefusesWithAMessageAndKeepsTheBlock) {
    // {name, value, message}
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"tileCountWide", "0", "tileCountWide must be 1 … 9999, got 0"},
        {"tileCountWide", "10000", "tileCountWide must be 1 … 9999, got 10000"},
        {"tileCountWide", "", "tileCountWide must be an integer, got \"\""},
        {"tileCountWide", "12x", "tileCountWide must be an integer, got \"12x\""},
        {"tileCountWide", " 12", "tileCountWide must be an integer, got \" 12\""},
        {"tileCountWide", "++3", "tileCountWide must be an integer, got \"++3\""},
        {"tileCountWide", "99999999999999999999",
         "tileCountWide must be an integer, got \"99999999999999999999\""},
        {"tileCountWide", "3,4", "tileCountWide takes one value, got \"3,4\""},
        {"evenDivisions", "8,6", "evenDivisions takes 3 comma-separated values, got 2"},
        {"evenDivisions", "8,0,5", "evenDivisions value 2 must be 1 … 9, got 0"},
        {"colorChoice", "7,2,9,0", "colorChoice value 2 must be 0 … 1, got 2"},
        {"colorChoice", "8,1,9,0", "colorChoice value 1 must be 0 … 7, got 8"},
        {"colorChoice", "7,1,9,2", "colorChoice value 4 must be 0 … 1, got 2"},
        {"edgeDetectChoice", "4,0,0", "edgeDetectChoice value 1 must be 0 … 3, got 4"},
        {"edgeDetectChoice", "0,4,0", "edgeDetectChoice value 2 must be 0 … 3, got 4"},
        {"cropLeft", "-1", "cropLeft must be 0 … 2147483647, got -1"},
        {"rotateAngle", "2147483648",
         "rotateAngle must be -2147483648 … 2147483647, got 2147483648"},
        {"tileCountWidth", "5", "unknown parameter \"tileCountWidth\""},
        {"userPalettePath", std::string(260, 'b'),
         "userPalettePath must be shorter than 260 bytes, got 260"},
        {"userPalettePath", std::string("a\0b", 3), "userPalettePath must not contain a zero byte"},
    };
    for (const auto& [name, value, message] : cases) {
        ParameterBlock block = defaultParameterBlock();
        const ParameterBlock before = block;
        std::string error;
        EXPECT_FALSE(setParameter(block, name, value, error));
        EXPECT_EQ(error, message);
        EXPECT_EQ(std::memcmp(&block, &before, sizeof block), 0) << name;
    }
}

// Stored zero-filled, the longest with room left for its terminator.
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
    EXPECT_EQ(parameterValueText(block, *findParameterField("userPalettePath")).size(), 259u);
}

// Every block byte outside the reserved areas belongs to one field (aliases aside); each name finds
// its own field. Defaults lie in their values' ranges, which lie in the field's and span it. Each
// group but None has a flag, in order, 0 … 1, off; defaults listed one by one mean no single one.
TEST(ParameterFields, EachFieldOwnsItsBytesAndItsDefaultsLieInItsRanges) {
    const ParameterBlock defaults = defaultParameterBlock();
    std::vector<int> owners(kParameterBlockBytes, 0); // the reserved areas count as owned
    for (auto [begin, end] : {std::pair{0, 12}, {20, 36}, {52, 68}, {76, 84}, {152, 168}})
        std::fill(owners.begin() + begin, owners.begin() + end, 1);
    std::set<std::string_view> names;
    int flags = 0;
    for (const ParameterField& field : parameterFields()) {
        SCOPED_TRACE(field.name);
        EXPECT_TRUE(names.insert(field.name).second && findParameterField(field.name) == &field &&
                    !field.help.empty() && (field.defaults.empty() || field.defaultValue == 0));
        const bool alias = field.name.starts_with("crop") && field.name != "cropRect";
        const std::size_t size = field.kind == FieldKind::Path ? 260 : 4 * std::size_t(field.count);
        for (std::size_t i = field.offset; !alias && i < field.offset + size; ++i)
            owners.at(i) += 1;
        if (field.help.starts_with("save-as-default flag")) {
            ++flags; // in group order
            EXPECT_EQ(std::tuple(field.offset, field.minimum, field.maximum, field.defaultValue),
                      std::tuple(saveFlagOffset(SaveGroup(flags)), 0, 1, 0));
        }
        if (field.kind == FieldKind::Path) continue;
        std::int64_t lowest = valueMinimum(field, 0), highest = valueMaximum(field, 0);
        for (int i = 0; i < field.count; ++i) {
            const std::int64_t value = fieldValue(defaults, field, i);
            EXPECT_TRUE(value == fieldDefault(field, i) && value >= valueMinimum(field, i) &&
                        value <= valueMaximum(field, i) &&
                        valueMinimum(field, i) >= field.minimum &&
                        valueMaximum(field, i) <= field.maximum)
                << i;
            lowest = std::min(lowest, valueMinimum(field, i));
            highest = std::max(highest, valueMaximum(field, i));
        }
        EXPECT_EQ(std::tuple(lowest, highest), std::tuple(field.minimum, field.maximum));
    }
    EXPECT_EQ(flags, kSaveGroupCount - 1);
    EXPECT_EQ(owners, std::vector<int>(kParameterBlockBytes, 1));
}

// Repair leaves a fresh block as it is and replaces only bad values.
TEST(ParameterFields, RepairReplacesOnlyBadValuesOfAFreshBlock) {
    const ParameterBlock defaults = defaultParameterBlock();
    ParameterBlock repaired = defaults;
    repairParameterBlock(repaired);
    EXPECT_EQ(std::memcmp(&repaired, &defaults, sizeof defaults), 0);
    repaired.histEndset[1] = 300, repaired.histEndset[2] = 17, repaired.hSlitGrayIndex = 6;
    repaired.vSlitGrayIndex = 7, repaired.tilePixelWidth = 0, repaired.saveTiling = 2;
    repairParameterBlock(repaired);
    EXPECT_EQ(std::tuple(repaired.histEndset[1], repaired.histEndset[2], repaired.hSlitGrayIndex,
                         repaired.vSlitGrayIndex, repaired.tilePixelWidth, repaired.saveTiling),
              std::tuple(255u, 17u, 1u, 1u, 9, 0u));
}

// Every field's --help line (values, range, default, help) as in tests/data/parameterFields.txt
// (rewritten by VELLORA_WRITE_FIELDS=1); a choice is named only for a value its field takes.
TEST(ParameterFields, DescriptionListsEveryFieldWithDefaultAndChoicesAreNamed) {
    const std::string text = describeParameterFields();
    const std::string file = VELLORA_SOURCE_DIR "/tests/data/parameterFields.txt";
    if (std::getenv("VELLORA_WRITE_FIELDS")) std::ofstream(file) << text;
    EXPECT_EQ(text, test::readText(file));
    const ParameterField& blank = *findParameterField("rotateBlankIndex");
    EXPECT_EQ(std::tuple(choiceName(blank, 0), choiceName(blank, 5), choiceName(blank, 6),
                         choiceName(blank, -1), fieldChoices("rotateBlankIndex").size()),
              std::tuple("white", "black", "", "", 6u));
    EXPECT_TRUE(fieldChoices("tileCountWide").empty() && fieldChoices("nonsense").empty());
    EXPECT_EQ(findParameterField("nonsense"), nullptr);
}

} // namespace
} // namespace vellora
