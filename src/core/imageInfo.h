#pragma once
// The record of the current picture and how the view presents it.
#include <array>
#include <cstdint>

namespace vellora {

// state: the low byte says whether there is a picture, the second byte how the next paint
// lays it out.
enum PictureState : std::int32_t {
    kStateNoPicture = 1,
    kStateSaved = 2,    // keep the last position, hide the bars, clear the status text
    kStateFit = 258,    // choose the largest zoom up to 100 % that fits
    kStateZoom = 514,   // centre at the current zoom
    kStateScrolled = 1026,
};

inline constexpr std::array<std::int32_t, 21> kZoomPercent = {
    5, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 150, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
inline constexpr std::int32_t kZoom100Index = 10;

struct ImageInfo {
    std::int32_t bitsPerPixel = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t clientWidth = 0;
    std::int32_t clientHeight = 0;
    std::int32_t drawX = 0;
    std::int32_t drawY = 0;
    std::int32_t drawWidth = 0;
    std::int32_t drawHeight = 0;
    std::int32_t margin = 30;
    std::int32_t zoomIndex = kZoom100Index;
    std::array<std::int32_t, 21> zoomPercent = kZoomPercent;
    std::int32_t hScrollShown = 0;
    std::int32_t vScrollShown = 0;
    std::int32_t hScrollStep = 0;
    std::int32_t vScrollStep = 0;
    std::int32_t state = kStateNoPicture;

    std::int32_t layoutByte() const { return (state >> 8) & 0xFF; }
    bool hasPicture() const { return (state & 0xFF) == 2; }
};

} // namespace vellora
