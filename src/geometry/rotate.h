#pragma once
// Rotation by any whole number of degrees, clockwise on screen. Multiples of 90 are quarter
// turns of the picture library; every other angle is computed here into a picture large enough
// for the whole rotated picture, the corners filled with a gray blank colour.
#include "core/session.h"

#include <array>
#include <cstdint>

namespace vellora {

// Blue, green, red of a blank colour.
using BlankColor = std::array<std::uint8_t, 3>;

// The gray of blank list index 0 … 5: 51 × (5 − index) ("white" … "black"); indices outside the
// list are taken as its nearest end.
BlankColor blankGray(int blankIndex);

struct RotatedSize {
    int width = 0;
    int height = 0;
};
// The bounding size of the source's four corners turned by `angle` degrees (0 … 359).
RotatedSize rotatedSize(const DibImage& source, int angle);

// The two passes into a target of rotatedSize. rotateNearest copies indices between indexed
// pictures and gives outside pixels the table entry nearest to the blank colour; rotateInterpolated
// fills a 24 bpp target from bicubic or area weights per axis. 0, or 16 when a weight buffer
// cannot be allocated.
int rotateNearest(Session& session, DibImage& target, const DibImage& source, int angle,
                  const BlankColor& blank);
int rotateInterpolated(Session& session, DibImage& target, const DibImage& source, int angle,
                       const BlankColor& blank);

struct RotateRequest {
    int angle = 0; // 0 … 359, not a multiple of 90
    bool bicubic = true;
    int depthIndex = 1; // 0 "source bpp", 1 "24 bpp"
    BlankColor blank{204, 204, 204};
};

// Rotates session.sourceImage (already read) into targetImage and writes it to nextPath;
// releases both. 0, or 1 after the failure's message.
int rotateImage(Session& session, const RotateRequest& request);

} // namespace vellora
