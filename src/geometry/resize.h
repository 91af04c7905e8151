#pragma once
// Resize: nearest pixel (depth kept or 24 bpp) or the interpolated pass (bicubic along an axis
// that grows, area averaging along one that shrinks, always 24 bpp).
#include "core/session.h"

#include <string_view>

namespace vellora {

inline constexpr int kMaxResizeFactor = 64;
inline constexpr std::string_view kInvalidSizeText = "invalid size values tried to setup";

struct ResizeRequest {
    int width = 0;
    int height = 0;
    int depthIndex = 1; // 0 "source bpp", 1 "24 bpp"
    bool interpolate = true;
};

// Fills a target already made with the target size: each pixel copies the source pixel at
// (y × h / H, x × w / W); indices are copied when both are indexed.
void resizeNearest(Session& session, const DibImage& source, DibImage& target);
// Fills a 24 bpp target by the per-axis plans. 0, or 16 (reported) when a weight table does
// not fit in memory.
int resizeInterpolated(Session& session, const DibImage& source, DibImage& target);

// Makes and fills the resized picture. 0, or the reported code.
int resizeToImage(Session& session, const DibImage& source, DibImage& target,
                  const ResizeRequest& request);

// Current intermediate file → nextPath; 0 or 1. Sizes outside 1 … 64 × the current size are
// refused with "invalid size values tried to setup" (caption "alert").
int resizeImage(Session& session, const ResizeRequest& request);

// The "Resize" command with the working block's resize fields.
int resizeHandler(Session& session);

// The resize dialog's rules: the size check of "Okay" and the "keep ratio" arithmetic.
bool resizeValuesValid(int width, int height, int currentWidth, int currentHeight);
// The other dimension in the current picture's proportions (truncating, not clamped).
int keepRatioHeight(int width, int currentWidth, int currentHeight);
int keepRatioWidth(int height, int currentWidth, int currentHeight);

} // namespace vellora
