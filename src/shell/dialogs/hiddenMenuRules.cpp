#include "shell/dialogs/hiddenMenuRules.h"

#include "core/parameterFields.h"

#include "color/evenPaletteFile.h"

#include <algorithm>
#include <cstddef>

namespace vellora {

namespace {
constexpr auto kQualityItems = std::to_array<std::string_view>(
    {"100", "95", "90", "85", "80", "75", "70", "65", "60", "55", "50",
     "45",  "40", "35", "30", "25", "20", "15", "10", "5",  "0"});
constexpr auto kDivisionItems =
    std::to_array<std::string_view>({"9", "8", "7", "6", "5", "4", "3", "2", "1"});
constexpr int kTrueColorDepthIndex = 1;
constexpr std::uint32_t kTrueColorBits = 24;

bool isPosition(int index, std::size_t count) {
    return index >= 0 && std::size_t(index) < count;
}

int divisionsAt(int index) {
    return int(kDivisionItems.size()) - index;
}
} // namespace

std::span<const std::string_view> hiddenMenuDepthItems() {
    return fieldChoices("saveDepthIndex");
}
std::span<const std::string_view> hiddenMenuQualityItems() {
    return kQualityItems;
}
std::span<const std::string_view> hiddenMenuDivisionItems() {
    return kDivisionItems;
}

int hiddenMenuQualityIndex(std::uint32_t quality) {
    if (quality > 100 || quality % 5 != 0) return -1;
    return int((100 - quality) / 5);
}

int hiddenMenuDivisionIndex(std::uint32_t divisions) {
    if (divisions < 1 || divisions > kDivisionItems.size()) return -1;
    return int(kDivisionItems.size() - divisions);
}

HiddenMenuChoice hiddenMenuChoice(const ParameterBlock& b) {
    const int depth = isPosition(int(b.saveDepthIndex), hiddenMenuDepthItems().size())
                          ? int(b.saveDepthIndex)
                          : -1;
    return {depth,
            hiddenMenuQualityIndex(b.saveQuality),
            {hiddenMenuDivisionIndex(b.evenDivisions[0]),
             hiddenMenuDivisionIndex(b.evenDivisions[1]),
             hiddenMenuDivisionIndex(b.evenDivisions[2])}};
}

std::array<int, 3> hiddenMenuDivisions(const HiddenMenuChoice& choice, const ParameterBlock& b) {
    std::array<int, 3> divisions{};
    for (std::size_t k = 0; k < divisions.size(); ++k)
        divisions[k] = isPosition(choice.divisionIndex[k], kDivisionItems.size())
                           ? divisionsAt(choice.divisionIndex[k])
                           : int(b.evenDivisions[k]);
    return divisions;
}

int makeHiddenMenuPalette(Frontend& frontend, const HiddenMenuChoice& choice,
                          ParameterBlock& block) {
    const auto [red, green, blue] = hiddenMenuDivisions(choice, block);
    return makeEvenPaletteFromDivisions(frontend, block, red, green, blue);
}

void storeHiddenMenuChoice(const HiddenMenuChoice& choice, ParameterBlock& block) {
    if (isPosition(choice.depthIndex, hiddenMenuDepthItems().size()))
        block.saveDepthIndex = std::uint32_t(choice.depthIndex);
    if (choice.depthIndex == kTrueColorDepthIndex) block.saveBitsPerPixel = kTrueColorBits;
    if (isPosition(choice.qualityIndex, kQualityItems.size()))
        block.saveQuality = std::uint32_t(20 - choice.qualityIndex) * 5;
    std::ranges::copy(hiddenMenuDivisions(choice, block), block.evenDivisions);
}

} // namespace vellora
