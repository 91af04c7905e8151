#include "shell/dialogs/filterDialogRules.h"

#include "core/parameterFields.h"

#include "filter/edgeMask.h"
#include "filter/filterMask.h"
#include "shell/dialogs/commonDialogRules.h"

#include <algorithm>
#include <limits>

namespace vellora {
namespace {

using TextOf = const char* (*)(int);

std::vector<std::string_view> itemsOf(TextOf text, int count) {
    std::vector<std::string_view> items;
    for (int index = 0; index < count; ++index)
        items.emplace_back(text(index));
    return items;
}

} // namespace

std::vector<std::string_view> smoothingItems() {
    return itemsOf(smoothingMaskText, kSmoothingMaskCount);
}
std::vector<std::string_view> sharpeningItems() {
    return itemsOf(sharpeningMaskText, kSharpeningMaskCount);
}
std::vector<std::string_view> edgePreservingItems() {
    const std::span<const std::string_view> choices = fieldChoices("edgePreservingIndex");
    return {choices.begin(), choices.end()};
}
std::vector<std::string_view> deNoiseItems() {
    return {"09 : 3 x 3", "25 : 5 x 5", "49 : 7 x 7"};
}
std::vector<std::string_view> edgeOperatorItems() {
    return itemsOf(edgeOperatorText, kEdgeOperatorCount);
}
std::vector<std::string_view> edgeDirectionItems() {
    return itemsOf(edgeDirectionText, kEdgeDirectionCount + 1);
}
std::vector<std::string_view> nonDirectionItems() {
    return itemsOf(nonDirectionMaskText, kNonDirectionMaskCount);
}

UserFilterValues userFilterOpening(const ParameterBlock& block) {
    UserFilterValues values;
    std::ranges::copy(block.userFilterMask, values.values.begin());
    values.values[kUserFilterKPlace] = block.userFilterValue;
    values.sizeIndex = block.userFilterSizeIndex;
    return values;
}

bool userFilterPlaceEnabled(int place, std::uint32_t sizeIndex) {
    if (place == kUserFilterKPlace || sizeIndex != 0) return true;
    const int row = place / 5;
    const int column = place % 5;
    return row >= 1 && row <= 3 && column >= 1 && column <= 3;
}

void userFilterStep(UserFilterValues& values,
                    const std::array<std::string, kUserFilterValueCount>& texts, int place,
                    bool up) {
    for (int i = 0; i < kUserFilterValueCount; ++i)
        values.values[i] = leadingInteger(texts[i]);
    if (place < 0 || place >= kUserFilterValueCount) return;
    std::int32_t& value = values.values[place];
    if (up && value < std::numeric_limits<std::int32_t>::max()) ++value;
    if (!up && value > std::numeric_limits<std::int32_t>::min()) --value;
}

void storeUserFilter(const UserFilterValues& values, ParameterBlock& block) {
    std::copy_n(values.values.begin(), kUserFilterCells, block.userFilterMask);
    block.userFilterValue = values.values[kUserFilterKPlace];
    block.userFilterSizeIndex = values.sizeIndex;
}

} // namespace vellora
