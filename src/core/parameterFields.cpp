#include "core/parameterFields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>
#include <vector>

namespace vellora {

namespace {

constexpr std::int64_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kTileCountMax = 9999;
constexpr std::int64_t kTilePixelsMax = 65535;

#define VL_FIELD(member) #member, offsetof(ParameterBlock, member)

// Defaults of the fields whose values differ from one another.
constexpr std::int32_t kEvenDivisionsDefault[] = {8, 6, 5};
constexpr std::int32_t kColorChoiceDefault[] = {7, 1, 9, 0};
constexpr std::int32_t kEdgeDetectChoiceDefault[] = {3, 0, 0};
constexpr std::int32_t kUserFilterMaskDefault[25] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};

constexpr std::span<const std::int32_t> kSameDefault{}; // every value takes defaultValue
constexpr std::span<const std::string_view> kNumber{};  // a value is a number, not a choice

// The named choices of list fields: value i shows choice i.
constexpr std::string_view kPowerOfTwoItems[] = {"2", "4", "8", "16", "32", "64", "128", "256"};
constexpr std::string_view kGrayItems[] = {"white",       "light gray", "little gray",
                                           "medium gray", "deep gray",  "black"};
constexpr std::string_view kEvenColorItems[] = {
    "2 red", "2 green", "2 blue", "16", "32", "48", "60", "96", "140", "216 safe color", "240"};
constexpr std::string_view kSizingMethodItems[] = {"around count", "tile size"};
constexpr std::string_view kDepthItems[] = {"source bpp", "24 bpp"};
constexpr std::string_view kInvertDepthItems[] = {"source bpp", "24 bpp", "32 bpp"};
constexpr std::string_view kSaveDepthItems[] = {"source color depth", "24 bpp"};
constexpr std::string_view kDeNoiseItems[] = {"3 x 3", "5 x 5", "7 x 7"};
constexpr std::string_view kUserFilterSizeItems[] = {"3 x 3", "5 x 5"};
constexpr std::string_view kEdgePreservingItems[] = {"range (max - min)", "variance",
                                                     "std. deviation"};
constexpr std::string_view kColorMethodItems[] = {"decrease", "standard", "even color",
                                                  "true color", "user defined"};
constexpr std::string_view kTilingPaletteItems[] = {"decrease", "even color", "user palette"};
constexpr std::string_view kSharpeningItems[] = {"high-pass 05", "high-pass 09"};
constexpr std::string_view kEdgeDetectModeItems[] = {"direction type", "non direction"};

constexpr std::array kFields = std::to_array<ParameterField>({
    {VL_FIELD(screenWidth), 1, FieldKind::Integer, 0, kIntMax, 0, kSameDefault, SaveGroup::None,
     kNumber, "screen width in pixels"},
    {VL_FIELD(screenHeight), 1, FieldKind::Integer, 0, kIntMax, 0, kSameDefault, SaveGroup::None,
     kNumber, "screen height in pixels"},
    {VL_FIELD(windowRect), 4, FieldKind::Integer, kIntMin, kIntMax, 0, kSameDefault,
     SaveGroup::None, kNumber, "main window rectangle: left, top, right, bottom"},
    {VL_FIELD(windowWidth), 1, FieldKind::Integer, 0, kIntMax, 0, kSameDefault, SaveGroup::None,
     kNumber, "main window width"},
    {VL_FIELD(windowHeight), 1, FieldKind::Integer, 0, kIntMax, 0, kSameDefault, SaveGroup::None,
     kNumber, "main window height"},
    {VL_FIELD(saveHiddenMenu), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None,
     kNumber, "save-as-default flag: hidden menu"},
    {VL_FIELD(saveCrop), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None, kNumber,
     "save-as-default flag: crop (never set)"},
    {VL_FIELD(saveResize), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None, kNumber,
     "save-as-default flag: resize"},
    {VL_FIELD(saveRotate), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None, kNumber,
     "save-as-default flag: rotation"},
    {VL_FIELD(saveColor), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None, kNumber,
     "save-as-default flag: colour processing"},
    {VL_FIELD(saveGray), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None, kNumber,
     "save-as-default flag: gray scale"},
    {VL_FIELD(saveBlackWhite), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None,
     kNumber, "save-as-default flag: black and white"},
    {VL_FIELD(saveInvert), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None, kNumber,
     "save-as-default flag: invert"},
    {VL_FIELD(savePoster), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None, kNumber,
     "save-as-default flag: posterization"},
    {VL_FIELD(saveHistogram), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None,
     kNumber, "save-as-default flag: histogram modification"},
    {VL_FIELD(saveSmoothing), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None,
     kNumber, "save-as-default flag: smoothing"},
    {VL_FIELD(saveEdgePreserving), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None,
     kNumber, "save-as-default flag: edge-preserving smoothing"},
    {VL_FIELD(saveSharpening), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None,
     kNumber, "save-as-default flag: sharpening"},
    {VL_FIELD(saveEdgeDetect), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None,
     kNumber, "save-as-default flag: edge detection"},
    {VL_FIELD(saveDeNoise), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None, kNumber,
     "save-as-default flag: de noise"},
    {VL_FIELD(saveUserFilter), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None,
     kNumber, "save-as-default flag: user filter"},
    {VL_FIELD(saveTiling), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::None, kNumber,
     "save-as-default flag: tiling"},
    {VL_FIELD(saveBitsPerPixel), 1, FieldKind::Integer, 0, 32, 24, kSameDefault,
     SaveGroup::HiddenMenu, kNumber, "hidden menu: 24 once \"24 bpp\" was confirmed (not read)"},
    {VL_FIELD(saveQuality), 1, FieldKind::Integer, 0, 100, 100, kSameDefault, SaveGroup::HiddenMenu,
     kNumber, "save: encoder quality"},
    {VL_FIELD(saveDepthIndex), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::HiddenMenu,
     kSaveDepthItems, "save: 0 source color depth, 1 24 bpp"},
    {VL_FIELD(evenDivisions), 3, FieldKind::Integer, 1, 9, 0, kEvenDivisionsDefault,
     SaveGroup::HiddenMenu, kNumber, "even colour palette: divisions of red, green, blue"},
    {VL_FIELD(rotateAngle), 1, FieldKind::Integer, kIntMin, kIntMax, 0, kSameDefault,
     SaveGroup::Rotate, kNumber, "rotation: angle in degrees, positive to the right"},
    {VL_FIELD(rotateBicubic), 1, FieldKind::Integer, 0, 1, 1, kSameDefault, SaveGroup::Rotate,
     kNumber, "rotation: 1 bicubic, 0 nearest pixel"},
    {VL_FIELD(rotateDepthIndex), 1, FieldKind::Integer, 0, 1, 1, kSameDefault, SaveGroup::Rotate,
     kDepthItems, "rotation: output depth, 0 source bpp, 1 24 bpp"},
    {VL_FIELD(rotateBlankIndex), 1, FieldKind::Integer, 0, 5, 1, kSameDefault, SaveGroup::Rotate,
     kGrayItems, "rotation: blank colour, 0 white ... 5 black"},
    {VL_FIELD(cropRect), 4, FieldKind::Integer, 0, kIntMax, 0, kSameDefault, SaveGroup::None,
     kNumber, "crop: left column, bottom row, right column, top row (0-based, inclusive)"},
    {"cropLeft", offsetof(ParameterBlock, cropRect), 1, FieldKind::Integer, 0, kIntMax, 0,
     kSameDefault, SaveGroup::None, kNumber, "crop: left column (0-based)"},
    {"cropBottom", offsetof(ParameterBlock, cropRect) + 4, 1, FieldKind::Integer, 0, kIntMax, 0,
     kSameDefault, SaveGroup::None, kNumber,
     "crop: bottom row (0-based, row 0 is the bottom of the picture)"},
    {"cropRight", offsetof(ParameterBlock, cropRect) + 8, 1, FieldKind::Integer, 0, kIntMax, 0,
     kSameDefault, SaveGroup::None, kNumber, "crop: right column (0-based, inclusive)"},
    {"cropTop", offsetof(ParameterBlock, cropRect) + 12, 1, FieldKind::Integer, 0, kIntMax, 0,
     kSameDefault, SaveGroup::None, kNumber, "crop: top row (0-based, inclusive)"},
    {VL_FIELD(resizeWidth), 1, FieldKind::Integer, 0, kIntMax, 0, kSameDefault, SaveGroup::None,
     kNumber, "resize: target width"},
    {VL_FIELD(resizeHeight), 1, FieldKind::Integer, 0, kIntMax, 0, kSameDefault, SaveGroup::None,
     kNumber, "resize: target height"},
    {VL_FIELD(resizeInterpolate), 1, FieldKind::Integer, 0, 1, 1, kSameDefault, SaveGroup::Resize,
     kNumber, "resize: 1 bicubic up / area averaging down, 0 nearest pixel"},
    {VL_FIELD(resizeDepthIndex), 1, FieldKind::Integer, 0, 1, 1, kSameDefault, SaveGroup::Resize,
     kDepthItems, "resize: output depth, 0 source bpp, 1 24 bpp"},
    {VL_FIELD(colorDiffusion), 1, FieldKind::Integer, 0, 1, 1, kSameDefault, SaveGroup::Color,
     kNumber, "colour processing: error dispersion"},
    {VL_FIELD(colorMethod), 1, FieldKind::Integer, 0, 4, 0, kSameDefault, SaveGroup::Color,
     kColorMethodItems,
     "colour processing: 0 decrease, 1 standard, 2 even color, 3 true color, 4 user defined"},
    {VL_FIELD(colorChoice), 4, FieldKind::Integer, 0, 10, 0, kColorChoiceDefault, SaveGroup::Color,
     kNumber,
     "colour processing: choices decrease 0-7, standard 0-1, even color 0-10, true color 0-1"},
    {VL_FIELD(userPalettePath), 1, FieldKind::Path, 0, 0, 0, kSameDefault, SaveGroup::Color,
     kNumber, "user palette file (.ecp or CSV), colour processing and tiling"},
    {VL_FIELD(grayDiffusion), 1, FieldKind::Integer, 0, 1, 1, kSameDefault, SaveGroup::Gray,
     kNumber, "gray scale: error dispersion"},
    {VL_FIELD(grayLevelIndex), 1, FieldKind::Integer, 0, 7, 7, kSameDefault, SaveGroup::Gray,
     kPowerOfTwoItems, "gray scale: levels 2^(choice+1), 0 \"2\" ... 7 \"256\""},
    {VL_FIELD(bwDiffusion), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::BlackWhite,
     kNumber, "black and white: error dispersion"},
    {VL_FIELD(bwMedianCut), 1, FieldKind::Integer, 0, 1, 1, kSameDefault, SaveGroup::BlackWhite,
     kNumber, "black and white: 1 median cut, 0 threshold value"},
    {VL_FIELD(bwThreshold), 1, FieldKind::Integer, 0, 255, 128, kSameDefault, SaveGroup::BlackWhite,
     kNumber, "black and white: threshold"},
    {VL_FIELD(bwStretch), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::BlackWhite,
     kNumber, "black and white: histogram modification in advance"},
    {VL_FIELD(bwOutset), 1, FieldKind::Integer, 0, 255, 1, kSameDefault, SaveGroup::BlackWhite,
     kNumber, "black and white: stretch range low"},
    {VL_FIELD(bwEndset), 1, FieldKind::Integer, 0, 255, 255, kSameDefault, SaveGroup::BlackWhite,
     kNumber, "black and white: stretch range high"},
    {VL_FIELD(invertDepthIndex), 1, FieldKind::Integer, 0, 2, 0, kSameDefault, SaveGroup::Invert,
     kInvertDepthItems, "invert: destination format, 0 source bpp, 1 24 bpp, 2 32 bpp"},
    {VL_FIELD(posterCommon), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::Poster,
     kNumber, "posterization: one level for all channels"},
    {VL_FIELD(posterLevelRGB), 1, FieldKind::Integer, 2, 128, 2, kSameDefault, SaveGroup::Poster,
     kNumber, "posterization: common level"},
    {VL_FIELD(posterLevelRed), 1, FieldKind::Integer, 1, 128, 2, kSameDefault, SaveGroup::Poster,
     kNumber, "posterization: red level"},
    {VL_FIELD(posterLevelGreen), 1, FieldKind::Integer, 1, 128, 1, kSameDefault, SaveGroup::Poster,
     kNumber, "posterization: green level"},
    {VL_FIELD(posterLevelBlue), 1, FieldKind::Integer, 1, 128, 1, kSameDefault, SaveGroup::Poster,
     kNumber, "posterization: blue level"},
    {VL_FIELD(histEnabled), 3, FieldKind::Integer, 0, 1, 1, kSameDefault, SaveGroup::Histogram,
     kNumber, "histogram modification: red, green, blue switched on"},
    {VL_FIELD(histOutset), 3, FieldKind::Integer, 0, 255, 0, kSameDefault, SaveGroup::Histogram,
     kNumber, "histogram modification: low end of red, green, blue"},
    {VL_FIELD(histEndset), 3, FieldKind::Integer, 0, 255, 255, kSameDefault, SaveGroup::Histogram,
     kNumber, "histogram modification: high end of red, green, blue"},
    {VL_FIELD(smoothingIndex), 1, FieldKind::Integer, 0, 9, 0, kSameDefault, SaveGroup::Smoothing,
     kNumber, "smoothing: operator choice"},
    {VL_FIELD(edgePreservingIndex), 1, FieldKind::Integer, 0, 2, 1, kSameDefault,
     SaveGroup::EdgePreserving, kEdgePreservingItems,
     "edge-preserving smoothing: 0 range, 1 variance, 2 std. deviation"},
    {VL_FIELD(sharpeningIndex), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::Sharpening,
     kSharpeningItems, "sharpening: 0 high-pass 05, 1 high-pass 09"},
    {VL_FIELD(edgeDetectMode), 1, FieldKind::Integer, 0, 1, 0, kSameDefault, SaveGroup::EdgeDetect,
     kEdgeDetectModeItems, "edge detection: 0 direction type, 1 non direction"},
    {VL_FIELD(edgeDetectChoice), 3, FieldKind::Integer, 0, 8, 0, kEdgeDetectChoiceDefault,
     SaveGroup::EdgeDetect, kNumber,
     "edge detection: direction 0-3, operator 0-3, non-direction 0-8"},
    {VL_FIELD(deNoiseIndex), 1, FieldKind::Integer, 0, 2, 0, kSameDefault, SaveGroup::DeNoise,
     kDeNoiseItems, "de noise: 0 \"3 x 3\", 1 \"5 x 5\", 2 \"7 x 7\""},
    {VL_FIELD(userFilterValue), 1, FieldKind::Integer, kIntMin, kIntMax, 1, kSameDefault,
     SaveGroup::UserFilter, kNumber, "user filter: k, the mask divisor (0 no division)"},
    {VL_FIELD(userFilterSizeIndex), 1, FieldKind::Integer, 0, 1, 0, kSameDefault,
     SaveGroup::UserFilter, kUserFilterSizeItems, "user filter: 0 \"3 x 3\", 1 \"5 x 5\""},
    {VL_FIELD(userFilterMask), 25, FieldKind::Integer, kIntMin, kIntMax, 0, kUserFilterMaskDefault,
     SaveGroup::UserFilter, kNumber, "user filter: 25 coefficients, 5 x 5 row by row"},
    {VL_FIELD(tilingConvert), 1, FieldKind::Integer, 0, 1, 1, kSameDefault, SaveGroup::Tiling,
     kNumber, "tiling: convert colours"},
    {VL_FIELD(tilingPaletteClass), 1, FieldKind::Integer, 0, 2, 1, kSameDefault, SaveGroup::Tiling,
     kTilingPaletteItems, "tiling: 0 decrease, 1 even color, 2 user palette"},
    {VL_FIELD(tilingMedianIndex), 1, FieldKind::Integer, 0, 7, 3, kSameDefault, SaveGroup::Tiling,
     kPowerOfTwoItems, "tiling: decrease to 2^(choice+1) colours"},
    {VL_FIELD(tilingEvenIndex), 1, FieldKind::Integer, 0, 10, 9, kSameDefault, SaveGroup::Tiling,
     kEvenColorItems, "tiling: even color palette choice"},
    {VL_FIELD(tilingSizeMethod), 1, FieldKind::Integer, 0, 1, 1, kSameDefault, SaveGroup::Tiling,
     kSizingMethodItems, "tiling: 0 around count, 1 tile size"},
    {VL_FIELD(tileCountHigh), 1, FieldKind::Integer, 1, kTileCountMax, 48, kSameDefault,
     SaveGroup::Tiling, kNumber, "tiling: tile count in the height direction"},
    {VL_FIELD(tilePixelHeight), 1, FieldKind::Integer, 1, kTilePixelsMax, 9, kSameDefault,
     SaveGroup::Tiling, kNumber, "tiling: tile height in pixels"},
    {VL_FIELD(tileCountWide), 1, FieldKind::Integer, 1, kTileCountMax, 64, kSameDefault,
     SaveGroup::Tiling, kNumber, "tiling: tile count in the width direction"},
    {VL_FIELD(tilePixelWidth), 1, FieldKind::Integer, 1, kTilePixelsMax, 9, kSameDefault,
     SaveGroup::Tiling, kNumber, "tiling: tile width in pixels"},
    {VL_FIELD(slitPixelWidth), 1, FieldKind::Integer, 0, kTilePixelsMax, 1, kSameDefault,
     SaveGroup::Tiling, kNumber, "tiling: slit width in pixels (0 no slits)"},
    {VL_FIELD(hSlitGrayIndex), 1, FieldKind::Integer, 0, 5, 1, kSameDefault, SaveGroup::Tiling,
     kGrayItems, "tiling: horizontal slit gray, 0 white ... 5 black"},
    {VL_FIELD(vSlitGrayIndex), 1, FieldKind::Integer, 0, 5, 1, kSameDefault, SaveGroup::Tiling,
     kGrayItems, "tiling: vertical slit gray, 0 white ... 5 black"},
});

#undef VL_FIELD

// Values of one field that take a narrower range than the field's widest list.
struct ValueRange {
    std::string_view name;
    int index;
    std::int64_t minimum, maximum;
};
constexpr auto kNarrowerValues = std::to_array<ValueRange>({
    {"colorChoice", 0, 0, 7},      // decrease: "2" … "256"
    {"colorChoice", 1, 0, 1},      // standard: "16 basic", "147 extended"
    {"colorChoice", 2, 0, 10},     // even color palettes
    {"colorChoice", 3, 0, 1},      // true color: "24 bpp", "32 bpp"
    {"edgeDetectChoice", 0, 0, 3}, // direction
    {"edgeDetectChoice", 1, 0, 3}, // operator
    {"edgeDetectChoice", 2, 0, 8}, // non-direction
});

const ValueRange* narrowerRange(const ParameterField& field, int index) {
    for (const ValueRange& range : kNarrowerValues)
        if (range.name == field.name && range.index == index) return &range;
    return nullptr;
}

std::uint8_t* fieldBytes(ParameterBlock& block, const ParameterField& field) {
    return reinterpret_cast<std::uint8_t*>(&block) + field.offset;
}
const std::uint8_t* fieldBytes(const ParameterBlock& block, const ParameterField& field) {
    return reinterpret_cast<const std::uint8_t*>(&block) + field.offset;
}

void storeValue(ParameterBlock& block, const ParameterField& field, int index, std::int64_t value) {
    const std::uint32_t bits = std::uint32_t(value);
    std::memcpy(fieldBytes(block, field) + 4 * std::size_t(index), &bits, 4);
}

bool inRange(const ParameterField& field, int index, std::int64_t value) {
    return value >= valueMinimum(field, index) && value <= valueMaximum(field, index);
}

std::string rangeText(std::int64_t minimum, std::int64_t maximum) {
    return std::to_string(minimum) + " … " + std::to_string(maximum);
}

std::vector<std::string_view> splitValues(std::string_view text) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return parts;
        text.remove_prefix(comma + 1);
    }
}

bool parseInteger(std::string_view text, std::int64_t& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool setPath(ParameterBlock& block, const ParameterField& field, std::string_view value,
             std::string& error) {
    if (value.size() >= sizeof block.userPalettePath) {
        error = std::string(field.name) + " must be shorter than " +
                std::to_string(sizeof block.userPalettePath) + " bytes, got " +
                std::to_string(value.size());
        return false;
    }
    if (value.find('\0') != std::string_view::npos) {
        error = std::string(field.name) + " must not contain a zero byte";
        return false;
    }
    std::uint8_t* bytes = fieldBytes(block, field);
    std::memset(bytes, 0, sizeof block.userPalettePath);
    std::memcpy(bytes, value.data(), value.size());
    return true;
}

bool parseValues(const ParameterField& field, std::string_view text,
                 std::vector<std::int64_t>& values, std::string& error) {
    const std::vector<std::string_view> parts = splitValues(text);
    const std::string name(field.name);
    if (int(parts.size()) != field.count) {
        error = field.count == 1
                    ? name + " takes one value, got \"" + std::string(text) + "\""
                    : name + " takes " + std::to_string(field.count) +
                          " comma-separated values, got " + std::to_string(parts.size());
        return false;
    }
    for (int i = 0; i < field.count; ++i) {
        std::int64_t value = 0;
        const std::string label =
            field.count == 1 ? name : name + " value " + std::to_string(i + 1);
        if (!parseInteger(parts[std::size_t(i)], value)) {
            error =
                label + " must be an integer, got \"" + std::string(parts[std::size_t(i)]) + "\"";
            return false;
        }
        if (!inRange(field, i, value)) {
            error = label + " must be " +
                    rangeText(valueMinimum(field, i), valueMaximum(field, i)) + ", got " +
                    std::to_string(value);
            return false;
        }
        values.push_back(value);
    }
    return true;
}

// Every named choice stands for a value of its field's range.
constexpr bool choicesFitRanges() {
    for (const ParameterField& field : kFields)
        if (!field.choices.empty() &&
            (field.minimum != 0 || field.maximum != std::int64_t(field.choices.size()) - 1))
            return false;
    return true;
}
static_assert(choicesFitRanges(), "a choice list names every value of its field, no more");

} // namespace

std::span<const ParameterField> parameterFields() {
    return kFields;
}

const ParameterField* findParameterField(std::string_view name) {
    for (const ParameterField& field : kFields)
        if (field.name == name) return &field;
    return nullptr;
}

std::int64_t valueMinimum(const ParameterField& field, int index) {
    const ValueRange* range = narrowerRange(field, index);
    return range ? range->minimum : field.minimum;
}

std::int64_t valueMaximum(const ParameterField& field, int index) {
    const ValueRange* range = narrowerRange(field, index);
    return range ? range->maximum : field.maximum;
}

std::int64_t fieldValue(const ParameterBlock& block, const ParameterField& field, int index) {
    std::uint32_t bits{};
    std::memcpy(&bits, fieldBytes(block, field) + 4 * std::size_t(index), 4);
    return field.minimum < 0 ? std::int64_t(std::int32_t(bits)) : std::int64_t(bits);
}

bool setParameter(ParameterBlock& block, std::string_view name, std::string_view value,
                  std::string& error) {
    const ParameterField* field = findParameterField(name);
    if (!field) {
        error = "unknown parameter \"" + std::string(name) + "\"";
        return false;
    }
    if (field->kind == FieldKind::Path) return setPath(block, *field, value, error);
    std::vector<std::int64_t> values;
    if (!parseValues(*field, value, values, error)) return false;
    for (int i = 0; i < field->count; ++i)
        storeValue(block, *field, i, values[std::size_t(i)]);
    return true;
}

std::string parameterValueText(const ParameterBlock& block, const ParameterField& field) {
    if (field.kind == FieldKind::Path) {
        const char* text = reinterpret_cast<const char*>(fieldBytes(block, field));
        const void* end = std::memchr(text, 0, sizeof block.userPalettePath);
        return std::string(text, end ? static_cast<const char*>(end) - text
                                     : std::ptrdiff_t(sizeof block.userPalettePath));
    }
    std::string text;
    for (int i = 0; i < field.count; ++i) {
        if (i > 0) text += ',';
        text += std::to_string(fieldValue(block, field, i));
    }
    return text;
}

std::int64_t fieldDefault(const ParameterField& field, int index) {
    return field.defaults.empty() ? field.defaultValue : field.defaults[std::size_t(index)];
}

void setParameterDefaults(ParameterBlock& block) {
    for (const ParameterField& field : kFields) {
        if (field.kind == FieldKind::Path) continue; // the path's default is empty
        for (int i = 0; i < field.count; ++i)
            if (fieldDefault(field, i) != 0) storeValue(block, field, i, fieldDefault(field, i));
    }
}

void repairParameterBlock(ParameterBlock& block) {
    for (const ParameterField& field : kFields) {
        if (field.kind == FieldKind::Path) {
            if (!hasTerminatedPath(block))
                std::memset(fieldBytes(block, field), 0, sizeof block.userPalettePath);
            continue;
        }
        for (int i = 0; i < field.count; ++i)
            if (!inRange(field, i, fieldValue(block, field, i)))
                storeValue(block, field, i, fieldDefault(field, i));
    }
}

std::size_t saveFlagOffset(SaveGroup group) {
    return offsetof(ParameterBlock, saveHiddenMenu) + 4 * (std::size_t(group) - 1);
}

std::span<const std::string_view> fieldChoices(std::string_view name) {
    const ParameterField* field = findParameterField(name);
    return field ? field->choices : std::span<const std::string_view>{};
}

std::string_view choiceName(const ParameterField& field, std::int64_t value) {
    if (value < 0 || std::uint64_t(value) >= field.choices.size()) return {};
    return field.choices[std::size_t(value)];
}

std::string describeFieldValues(const ParameterField& field) {
    static const ParameterBlock defaults = defaultParameterBlock();
    if (field.kind == FieldKind::Path) return "PATH (default empty)";
    std::string text = field.count > 1 ? std::to_string(field.count) + " values " : "";
    return text + rangeText(field.minimum, field.maximum) + " (default " +
           parameterValueText(defaults, field) + ")";
}

std::string describeParameterField(const ParameterField& field) {
    return "  " + std::string(field.name) + "=" + describeFieldValues(field) + "  " +
           std::string(field.help) + "\n";
}

std::string describeParameterFields() {
    std::string text;
    for (const ParameterField& field : kFields)
        text += describeParameterField(field);
    return text;
}

} // namespace vellora
