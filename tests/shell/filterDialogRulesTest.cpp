#include "shell/dialogs/filterDialogRules.h"

#include <gtest/gtest.h>

#include <limits>

namespace vellora {
namespace {

std::array<std::string, kUserFilterValueCount> textsOf(const UserFilterValues& values) {
    std::array<std::string, kUserFilterValueCount> texts;
    for (int i = 0; i < kUserFilterValueCount; ++i)
        texts[i] = std::to_string(values.values[i]);
    return texts;
}

TEST(FilterDialogRules, ListsHoldTheirItemsInIndexOrder) {
    EXPECT_EQ(smoothingItems().size(), 10u);
    EXPECT_EQ(smoothingItems()[3], "selected smoothing 09");
    EXPECT_EQ(smoothingItems()[9], "mean average 25");
    EXPECT_EQ(sharpeningItems(), (std::vector<std::string_view>{"high-pass 05", "high-pass 09"}));
    EXPECT_EQ(edgeDirectionItems().back(), "vert + horz");
    EXPECT_EQ(edgeOperatorItems()[2], "kirsh");
    EXPECT_EQ(nonDirectionItems().size(), 9u);
    EXPECT_EQ(nonDirectionItems()[8], "ripple 07b");
    EXPECT_EQ(deNoiseItems()[2], "49 : 7 x 7");
    EXPECT_EQ(edgePreservingItems()[0], "range (max - min)");
}

TEST(FilterDialogRules, EdgeListsFollowTheMode) {
    EXPECT_TRUE(directionListsEnabled(0));
    EXPECT_FALSE(nonDirectionListEnabled(0));
    EXPECT_FALSE(directionListsEnabled(1));
    EXPECT_TRUE(nonDirectionListEnabled(1));
}

TEST(FilterDialogRules, ThreeByThreeEnablesOnlyTheCentreBlockAndK) {
    int enabledCells = 0;
    for (int place = 0; place < kUserFilterCells; ++place) {
        enabledCells += userFilterPlaceEnabled(place, 0) ? 1 : 0;
        EXPECT_TRUE(userFilterPlaceEnabled(place, 1)) << place;
    }
    EXPECT_EQ(enabledCells, 9);
    for (int place : {6, 7, 8, 11, 12, 13, 16, 17, 18})
        EXPECT_TRUE(userFilterPlaceEnabled(place, 0));
    for (int place : {0, 2, 4, 5, 9, 10, 14, 15, 19, 20, 22, 24})
        EXPECT_FALSE(userFilterPlaceEnabled(place, 0)) << place;
    EXPECT_TRUE(userFilterPlaceEnabled(kUserFilterKPlace, 0));
}

TEST(FilterDialogRules, OpeningAndStoringRoundTrip) {
    ParameterBlock block = defaultParameterBlock();
    UserFilterValues values = userFilterOpening(block);
    EXPECT_EQ(values.values[12], 1);
    EXPECT_EQ(values.values[0], 0);
    EXPECT_EQ(values.values[kUserFilterKPlace], 1);
    EXPECT_EQ(values.sizeIndex, 0u);
    for (int i = 0; i < kUserFilterValueCount; ++i)
        values.values[i] = 100 - 7 * i;
    values.sizeIndex = 1;
    ParameterBlock stored = defaultParameterBlock();
    storeUserFilter(values, stored);
    EXPECT_EQ(stored.userFilterMask[0], 100);
    EXPECT_EQ(stored.userFilterMask[24], 100 - 7 * 24);
    EXPECT_EQ(stored.userFilterValue, 100 - 7 * 25);
    EXPECT_EQ(stored.userFilterSizeIndex, 1u);
    const UserFilterValues again = userFilterOpening(stored);
    EXPECT_EQ(again.values, values.values);
    EXPECT_EQ(again.sizeIndex, 1u);
}

TEST(FilterDialogRules, StepReReadsEveryTextFirst) {
    UserFilterValues values = userFilterOpening(defaultParameterBlock());
    auto texts = textsOf(values);
    texts[0] = "12abc"; // digits then letters
    texts[3] = "abc";   // letters only
    texts[kUserFilterKPlace] = " -4";
    values.values[3] = 55; // a stale value the re-reading replaces
    userFilterStep(values, texts, 12, false);
    EXPECT_EQ(values.values[0], 12);
    EXPECT_EQ(values.values[3], 0);
    EXPECT_EQ(values.values[kUserFilterKPlace], -4);
    EXPECT_EQ(values.values[12], 0);
    userFilterStep(values, textsOf(values), kUserFilterKPlace, true);
    EXPECT_EQ(values.values[kUserFilterKPlace], -3);
}

TEST(FilterDialogRules, StepStopsAtTheIntegerEnds) {
    UserFilterValues values;
    auto texts = textsOf(values);
    texts[1] = "2147483647";
    texts[2] = "-2147483648";
    userFilterStep(values, texts, 1, true);
    EXPECT_EQ(values.values[1], std::numeric_limits<std::int32_t>::max());
    userFilterStep(values, texts, 2, false);
    EXPECT_EQ(values.values[2], std::numeric_limits<std::int32_t>::min());
    userFilterStep(values, texts, 1, false);
    EXPECT_EQ(values.values[1], std::numeric_limits<std::int32_t>::max() - 1);
}

TEST(FilterDialogRules, StepOnAPlaceOutsideTheGridOnlyReReads) {
    UserFilterValues values;
    auto texts = textsOf(values);
    texts[5] = "8";
    userFilterStep(values, texts, 26, true);
    userFilterStep(values, texts, -1, true);
    EXPECT_EQ(values.values[5], 8);
    for (int i = 0; i < kUserFilterValueCount; ++i) {
        if (i != 5) {
            EXPECT_EQ(values.values[i], 0) << i;
        }
    }
}

} // namespace
} // namespace vellora
