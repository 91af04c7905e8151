#pragma once
// Crop: keeps a rectangle of the picture, same depth and colour table.
#include "core/session.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace vellora {

inline constexpr std::string_view kInvalidCropText = "invalid rectangle values tried to setup";

// left column, bottom row, right column, top row; 0-based, inclusive, rows in stored order.
using CropRect = std::array<std::int32_t, 4>;

// The pixels of `rect` into a new image of the source's depth and colours-used value (indexed
// results get the whole colour table). 0, or the reported code of createDib.
int cropToImage(Session& session, const DibImage& source, DibImage& target, const CropRect& rect);

// Current intermediate file → rect → nextPath. 0 on success, 1 on failure; a rectangle outside
// the picture is refused with "invalid rectangle values tried to setup" (caption "alert").
int cropImage(Session& session, const CropRect& rect);

// The "Crop" command: cropImage with the working block's cropRect in the operation frame.
int cropHandler(Session& session);

// The crop dialog's check, on its 1-based values: left ≥ 1, right ≤ width, right ≥ left,
// bottom ≥ 1, top ≤ height, top ≥ bottom.
bool cropValuesValid(int left, int bottom, int right, int top, int width, int height);

} // namespace vellora
