#include "shell/dialogs/colorDialogRules.h"

#include "color/conversionCode.h"

#include <algorithm>
#include <cstring>

namespace vellora {

std::vector<std::string_view> colorChoiceItems(int classNumber) {
    std::vector<std::string_view> items;
    if (classNumber < kClassMedianCut || classNumber > kClassTrueColor) return items;
    for (int choice = 0;; ++choice) {
        const ConversionTarget* target = findConversionTarget(conversionCode(classNumber, choice));
        if (target == nullptr) return items;
        items.push_back(target->dialogText);
    }
}

ColorDialogValues colorDialogValues(const ParameterBlock& b) {
    return {b.colorDiffusion != 0,
            b.colorMethod,
            {b.colorChoice[0], b.colorChoice[1], b.colorChoice[2], b.colorChoice[3]}};
}

bool colorDiffusionEnabled(const ColorDialogValues& values) {
    return values.colorClass != kClassTrueColor;
}

bool colorDiffusionShown(const ColorDialogValues& values) {
    return values.diffusion && colorDiffusionEnabled(values);
}

bool colorClassControlEnabled(const ColorDialogValues& values, std::uint32_t controlClass) {
    return values.colorClass == controlClass;
}

void storeColorChoice(const ColorDialogValues& values, std::string_view userPath,
                      ParameterBlock& block) {
    block.colorMethod = values.colorClass;
    std::copy(values.choices.begin(), values.choices.end(), block.colorChoice);
    storeUserPalettePath(userPath, block);
    block.colorDiffusion = colorDiffusionShown(values);
}

std::string userPalettePathOf(const ParameterBlock& block) {
    return std::string(block.userPalettePath,
                       strnlen(block.userPalettePath, sizeof block.userPalettePath));
}

void storeUserPalettePath(std::string_view path, ParameterBlock& block) {
    std::memset(block.userPalettePath, 0, sizeof block.userPalettePath);
    std::memcpy(block.userPalettePath, path.data(),
                std::min(path.size(), sizeof block.userPalettePath - 1));
}

} // namespace vellora
