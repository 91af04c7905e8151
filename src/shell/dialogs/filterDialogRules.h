#pragma once
// What the filter dialogs decide without any widget: the texts of their lists, the enabling of
// the edge detection lists, and the user filter's 26 values (25 grid cells then k) with their
// enabling by size, their up-down steps and what "Okay" stores.
#include "core/parameterBlock.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

std::vector<std::string_view> smoothingItems();
std::vector<std::string_view> sharpeningItems();
std::vector<std::string_view> edgePreservingItems();
std::vector<std::string_view> deNoiseItems();
std::vector<std::string_view> edgeOperatorItems();
std::vector<std::string_view> edgeDirectionItems(); // the three directions and "vert + horz"
std::vector<std::string_view> nonDirectionItems();

// Mode 0 ("direction type") enables the operator and direction lists, mode 1 the other one.
inline bool directionListsEnabled(std::uint32_t mode) {
    return mode == 0;
}
inline bool nonDirectionListEnabled(std::uint32_t mode) {
    return mode == 1;
}

inline constexpr int kUserFilterCells = 25;
inline constexpr int kUserFilterKPlace = 25; // k follows the cells, as its field follows theirs
inline constexpr int kUserFilterValueCount = 26;

struct UserFilterValues {
    std::array<std::int32_t, kUserFilterValueCount> values{};
    std::uint32_t sizeIndex = 0; // 0 "3 x 3", 1 "5 x 5"
};

UserFilterValues userFilterOpening(const ParameterBlock& block);
// Cell 5 × row + column: with "3 x 3" only rows and columns 1 … 3; k (place 25) always.
bool userFilterPlaceEnabled(int place, std::uint32_t sizeIndex);
// An up-down press: every value is first re-read from `texts` (their leading integers), then the
// pressed one moves by 1. The range has no limits of its own; it stops at the 32-bit ends.
void userFilterStep(UserFilterValues& values,
                    const std::array<std::string, kUserFilterValueCount>& texts, int place,
                    bool up);
// "Okay": the size, k and all 25 cells, disabled ones included. Nothing is refused.
void storeUserFilter(const UserFilterValues& values, ParameterBlock& block);

} // namespace vellora
