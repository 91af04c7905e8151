#include "referenceColor.h"

#include "core/pixelAccess.h"

#include <algorithm>
#include <functional>

namespace vellora::test {

namespace {

struct Sample {
    double v[3]; // Y, Cb, Cr
    std::uint32_t box;
};

struct Reference {
    std::vector<Sample> samples;
    int splits = 0;
};

void split(Reference& ref, std::uint32_t box, int depth) {
    if (depth < 1 || ref.samples.empty()) return;
    double mn[3] = {0, 0, 0}, mx[3] = {0, 0, 0}, sum[3] = {0, 0, 0};
    std::uint32_t members = 0;
    for (const Sample& s : ref.samples) {
        if (s.box != box) continue;
        for (int a = 0; a < 3; ++a) {
            if (members == 0 || s.v[a] < mn[a]) mn[a] = s.v[a];
            if (members == 0 || s.v[a] > mx[a]) mx[a] = s.v[a];
            sum[a] += s.v[a];
        }
        ++members;
    }
    if (members == 0) return;
    const double rY = (mx[0] - mn[0]) * 1.4, rCb = (mx[1] - mn[1]) * 1.2, rCr = mx[2] - mn[2];
    const int axis = rY > rCb ? (rY > rCr ? 0 : 2) : (rCb > rCr ? 1 : 2);
    const double mean = sum[axis] / members;
    const std::uint32_t newBox = box + (1u << (depth - 1));
    for (Sample& s : ref.samples)
        if (s.box == box && s.v[axis] >= mean) s.box = newBox;
    ++ref.splits;
    split(ref, box, depth - 1);
    split(ref, newBox, depth - 1);
}

std::uint8_t clampTruncate(double v) {
    return std::uint8_t(int(std::clamp(v, 0.0, 255.0)));
}

} // namespace

ReferenceCut referenceMedianCut(const DibImage& source, std::uint32_t colors, int bitsPerPixel) {
    Reference ref;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x) {
            std::uint8_t c[3] = {0, 0, 0};
            getColor(source, c, y, x, source.bitsPerPixel);
            const double b = c[0], g = c[1], r = c[2];
            ref.samples.push_back(
                {{0.298909991979599 * r + 0.5866100192070007 * g + 0.11448000371456146 * b,
                  0.5 * b - (0.16874000430107117 * r + 0.33125999569892883 * g),
                  0.5 * r - 0.4186899960041046 * g - 0.08130999654531479 * b},
                 0});
        }
    int depth = 0;
    for (std::uint32_t c = colors; c > 1; c >>= 1)
        ++depth;
    split(ref, 0, depth);
    std::vector<double> sums(3 * colors);
    std::vector<std::uint32_t> count(colors);
    for (const Sample& s : ref.samples) {
        for (int a = 0; a < 3; ++a)
            sums[3 * s.box + a] += s.v[a];
        ++count[s.box];
    }
    ReferenceCut cut;
    cut.palette.assign(4u << bitsPerPixel, 0);
    for (std::uint32_t i = 0; i < colors; ++i) {
        if (count[i] == 0) continue;
        const double y = sums[3 * i] / count[i], cb = sums[3 * i + 1] / count[i],
                     cr = sums[3 * i + 2] / count[i];
        cut.palette[4 * i] = clampTruncate(y + 1.772 * cb + 0.49);
        cut.palette[4 * i + 1] = clampTruncate(y - 0.34414 * cb - 0.71414 * cr + 0.49);
        cut.palette[4 * i + 2] = clampTruncate(y + 1.402 * cr + 0.49);
    }
    for (const Sample& s : ref.samples)
        cut.indices.push_back(std::uint8_t(s.box));
    cut.splits = ref.splits;
    return cut;
}

std::vector<std::uint8_t> referenceDiffused(const DibImage& target, const DibImage& source,
                                            const std::function<int(const int* adjusted)>& choose) {
    const int w = source.width, h = source.height;
    std::vector<int> error(std::size_t(w + 1) * std::size_t(h + 1) * 3, 0);
    const auto cell = [&](int r, int c, int k) -> int& {
        return error[(std::size_t(r) * std::size_t(w + 1) + std::size_t(c)) * 3 + std::size_t(k)];
    };
    std::vector<std::uint8_t> result;
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            std::uint8_t color[3] = {0, 0, 0};
            getColor(source, color, r, c, source.bitsPerPixel);
            int adjusted[3];
            for (int k = 0; k < 3; ++k)
                adjusted[k] = std::clamp(color[k] + cell(r, c, k), 0, 255);
            const int chosen = choose(adjusted);
            result.push_back(std::uint8_t(chosen));
            const std::uint8_t* e = target.paletteEntry(chosen);
            for (int k = 0; k < 3; ++k) {
                const int err = adjusted[k] - e[k];
                cell(r, c + 1, k) += (7 * err + 8) / 16;
                if (c > 0) cell(r + 1, c - 1, k) += (3 * err + 8) / 16;
                cell(r + 1, c, k) += (5 * err + 8) / 16;
                cell(r + 1, c + 1, k) += (err + 8) / 16;
            }
        }
    return result;
}

} // namespace vellora::test
