#pragma once
// The rules of the crop, resize and rotate dialogs as plain functions, so the dialogs only show
// and read controls: opening values, up-down steps and their limits, the depth list that an
// interpolation check overrides, "keep ratio", the "crop size" text and what "Okay" stores.
#include "core/parameterBlock.h"
#include "geometry/crop.h"
#include "geometry/resize.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vellora {

inline constexpr std::string_view kGeometryAlertCaption = "alert";
inline constexpr std::string_view kInvalidCropSizeText = "invalid values";

// " : 400 x 300", the way the dialogs show a size.
std::string dialogSizeText(std::int64_t width, std::int64_t height);

// An up-down arrow: the value moves by 1 and is kept within lo … hi (a value typed outside is
// brought to the nearer limit). Empty limits (lo > hi, only reachable through other fields'
// invalid values) leave the value as it is.
std::int32_t limitedStep(std::int32_t value, bool up, std::int64_t lo, std::int64_t hi);
// An arrow without limits; it stops at the ends of the 32-bit range instead of wrapping.
std::int32_t unlimitedStep(std::int32_t value, bool up);

// "source bpp", "24 bpp".
std::span<const std::string_view> outputDepthItems();
inline constexpr std::uint32_t kDepth24Index = 1;

// A depth list beside an interpolation check: checking shows "24 bpp" and disables the list;
// unchecking enables it and brings back the user's last choice (the stored one before any).
struct DepthChoice {
    std::uint32_t shown = kDepth24Index; // the list's selection, stored on "Okay"
    std::uint32_t userChoice = kDepth24Index;
    bool interpolate = true;
};
DepthChoice depthChoiceOpening(bool interpolate, std::uint32_t storedIndex);
void setInterpolation(DepthChoice& choice, bool on);
void chooseDepth(DepthChoice& choice, std::uint32_t index);
inline bool depthListEnabled(const DepthChoice& choice) {
    return !choice.interpolate;
}

// --- crop: four 1-based values, rows counted from the first stored row -----------------------

enum CropField : std::size_t { kCropLeft, kCropBottom, kCropRight, kCropTop };
using CropDialogValues = std::array<std::int32_t, 4>; // in CropField order, 1-based

// The whole picture.
CropDialogValues cropDialogOpening(std::int32_t width, std::int32_t height);
// left 1 … right, right left … width, bottom 1 … top, top bottom … height.
std::int32_t cropStep(const CropDialogValues& values, CropField field, bool up, std::int32_t width,
                      std::int32_t height);
bool cropDialogValid(const CropDialogValues& values, std::int32_t width, std::int32_t height);
// What "crop size" shows: the rectangle's size, or "invalid values".
std::string cropSizeText(const CropDialogValues& values, std::int32_t width, std::int32_t height);
// "Okay": the 0-based rectangle into the block; false (block unchanged) when invalid.
bool storeCrop(const CropDialogValues& values, std::int32_t width, std::int32_t height,
               ParameterBlock& block);

// --- resize ------------------------------------------------------------------------------------

enum class ResizeDimension { Width, Height };

struct ResizeDialogValues {
    std::int32_t width = 0;
    std::int32_t height = 0;
    ResizeDimension lastEdited = ResizeDimension::Height;
    DepthChoice depth;
};

// The current size in both fields; interpolation and depth from the block.
ResizeDialogValues resizeDialogOpening(const ParameterBlock& block, std::int32_t width,
                                       std::int32_t height);
// 1 … 64 × the current size of that dimension.
std::int32_t resizeStep(std::int32_t value, bool up, std::int32_t currentSize);
// The dimension not last edited, recomputed in the current proportions (truncating, unclamped).
// Nothing changes for a picture without size.
void keepRatio(ResizeDialogValues& values, std::int32_t width, std::int32_t height);
// "Okay": size, interpolation and depth into the block; false (block unchanged) when the size is
// outside 1 … 64 × the current size.
bool storeResize(const ResizeDialogValues& values, std::int32_t width, std::int32_t height,
                 ParameterBlock& block);

// --- arbitrary rotation ------------------------------------------------------------------------

// "white", "light gray", "little gray", "medium gray", "deep gray", "black".
std::span<const std::string_view> blankColorItems();

struct RotateDialogValues {
    std::int32_t angle = 0;
    DepthChoice depth;
    std::uint32_t blankIndex = 1;
};

RotateDialogValues rotateDialogOpening(const ParameterBlock& block);
// "Okay": every angle is accepted.
void storeRotate(const RotateDialogValues& values, ParameterBlock& block);

} // namespace vellora
