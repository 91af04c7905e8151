#include "shell/dialogs/geometryDialogRules.h"

#include "core/parameterFields.h"

#include "geometry/resize.h"

#include <algorithm>
#include <limits>

namespace vellora {

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// The limits of each crop field, from the other fields' values.
struct Limits {
    std::int64_t lo;
    std::int64_t hi;
};

Limits cropLimits(const CropDialogValues& v, CropField field, std::int32_t width,
                  std::int32_t height) {
    switch (field) {
    case kCropLeft:
        return {1, v[kCropRight]};
    case kCropRight:
        return {v[kCropLeft], width};
    case kCropBottom:
        return {1, v[kCropTop]};
    case kCropTop:
        return {v[kCropBottom], height};
    }
    return {1, 0};
}

std::int64_t resizeLimit(std::int32_t currentSize) {
    return std::int64_t(kMaxResizeFactor) * currentSize;
}

} // namespace

std::string dialogSizeText(std::int64_t width, std::int64_t height) {
    return " : " + std::to_string(width) + " x " + std::to_string(height);
}

std::int32_t limitedStep(std::int32_t value, bool up, std::int64_t lo, std::int64_t hi) {
    if (lo > hi) return value;
    const std::int64_t stepped = std::int64_t(value) + (up ? 1 : -1);
    return std::int32_t(std::clamp(stepped, std::max(lo, kInt32Min), std::min(hi, kInt32Max)));
}

std::int32_t unlimitedStep(std::int32_t value, bool up) {
    return limitedStep(value, up, kInt32Min, kInt32Max);
}

std::span<const std::string_view> outputDepthItems() {
    return fieldChoices("rotateDepthIndex");
}

DepthChoice depthChoiceOpening(bool interpolate, std::uint32_t storedIndex) {
    return {storedIndex, storedIndex, interpolate};
}

void setInterpolation(DepthChoice& choice, bool on) {
    choice.interpolate = on;
    choice.shown = on ? kDepth24Index : choice.userChoice;
}

void chooseDepth(DepthChoice& choice, std::uint32_t index) {
    choice.shown = index;
    choice.userChoice = index;
}

CropDialogValues cropDialogOpening(std::int32_t width, std::int32_t height) {
    CropDialogValues values{};
    values[kCropLeft] = 1;
    values[kCropBottom] = 1;
    values[kCropRight] = width;
    values[kCropTop] = height;
    return values;
}

std::int32_t cropStep(const CropDialogValues& values, CropField field, bool up, std::int32_t width,
                      std::int32_t height) {
    const Limits limits = cropLimits(values, field, width, height);
    return limitedStep(values[field], up, limits.lo, limits.hi);
}

bool cropDialogValid(const CropDialogValues& v, std::int32_t width, std::int32_t height) {
    return cropValuesValid(v[kCropLeft], v[kCropBottom], v[kCropRight], v[kCropTop], width, height);
}

std::string cropSizeText(const CropDialogValues& v, std::int32_t width, std::int32_t height) {
    if (!cropDialogValid(v, width, height)) return std::string(kInvalidCropSizeText);
    return dialogSizeText(std::int64_t(v[kCropRight]) - v[kCropLeft] + 1,
                          std::int64_t(v[kCropTop]) - v[kCropBottom] + 1);
}

bool storeCrop(const CropDialogValues& v, std::int32_t width, std::int32_t height,
               ParameterBlock& block) {
    if (!cropDialogValid(v, width, height)) return false;
    block.cropRect[0] = v[kCropLeft] - 1;
    block.cropRect[1] = v[kCropBottom] - 1;
    block.cropRect[2] = v[kCropRight] - 1;
    block.cropRect[3] = v[kCropTop] - 1;
    return true;
}

ResizeDialogValues resizeDialogOpening(const ParameterBlock& block, std::int32_t width,
                                       std::int32_t height) {
    ResizeDialogValues values;
    values.width = width;
    values.height = height;
    values.depth = depthChoiceOpening(block.resizeInterpolate != 0, block.resizeDepthIndex);
    return values;
}

std::int32_t resizeStep(std::int32_t value, bool up, std::int32_t currentSize) {
    return limitedStep(value, up, 1, resizeLimit(currentSize));
}

void keepRatio(ResizeDialogValues& values, std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) return;
    if (values.lastEdited == ResizeDimension::Width)
        values.height = keepRatioHeight(values.width, width, height);
    else
        values.width = keepRatioWidth(values.height, width, height);
}

bool storeResize(const ResizeDialogValues& values, std::int32_t width, std::int32_t height,
                 ParameterBlock& block) {
    if (!resizeValuesValid(values.width, values.height, width, height)) return false;
    block.resizeWidth = values.width;
    block.resizeHeight = values.height;
    block.resizeInterpolate = values.depth.interpolate;
    block.resizeDepthIndex = values.depth.shown;
    return true;
}

std::span<const std::string_view> blankColorItems() {
    return fieldChoices("rotateBlankIndex");
}

RotateDialogValues rotateDialogOpening(const ParameterBlock& block) {
    RotateDialogValues values;
    values.angle = block.rotateAngle;
    values.depth = depthChoiceOpening(block.rotateBicubic != 0, block.rotateDepthIndex);
    values.blankIndex = block.rotateBlankIndex;
    return values;
}

void storeRotate(const RotateDialogValues& values, ParameterBlock& block) {
    block.rotateAngle = values.angle;
    block.rotateBicubic = values.depth.interpolate;
    block.rotateDepthIndex = values.depth.shown;
    block.rotateBlankIndex = values.blankIndex;
}

} // namespace vellora
