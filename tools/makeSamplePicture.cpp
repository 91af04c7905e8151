// Renders the sample picture of the README's demonstration: a mountain lake at sunset, 1600 x
// 1000, with smooth sky gradients, a sun with a glow, two ridge lines, reflections with ripples
// and a textured bank, so tiles meet both soft shading and hard edges. Deterministic: the same
// file every run. Usage: makeSamplePicture OUTPUT.jpg
#include "core/dibImage.h"
#include "imageio/pictureLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

using namespace vellora;

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
constexpr double kHorizon = 0.62; // the lake's shore line, as a fraction of the height

struct Rgb {
    double r, g, b;
};

Rgb mix(const Rgb& a, const Rgb& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Smooth value noise from an integer hash, a few octaves: texture without a random generator.
double hashNoise(int x, int y) {
    unsigned h = unsigned(x) * 374761393u + unsigned(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double smoothNoise(double x, double y) {
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double top = hashNoise(x0, y0) + (hashNoise(x0 + 1, y0) - hashNoise(x0, y0)) * sx;
    const double bottom =
        hashNoise(x0, y0 + 1) + (hashNoise(x0 + 1, y0 + 1) - hashNoise(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

double fractalNoise(double x, double y) {
    double sum = 0, amplitude = 0.5, frequency = 1;
    for (int octave = 0; octave < 5; ++octave) {
        sum += amplitude * smoothNoise(x * frequency, y * frequency);
        amplitude *= 0.5;
        frequency *= 2.03;
    }
    return sum;
}

// Height of a ridge above the horizon at column u (0 … 1), as a fraction of the height.
double ridge(double u, double base, double roughness, int seed) {
    return base + 0.07 * std::sin(u * 7.1 + seed) + 0.04 * std::sin(u * 17.3 + 2 * seed) +
           roughness * (fractalNoise(u * 12 + seed * 31, seed) - 0.5);
}

Rgb sky(double u, double v) {
    const Rgb zenith{28, 46, 112}, low{246, 168, 96}, haze{252, 214, 160};
    Rgb color = mix(zenith, low, std::pow(v / kHorizon, 1.6));
    color = mix(color, haze, std::pow(std::max(0.0, v / kHorizon - 0.75) * 4, 2));
    const double du = (u - 0.68) * kWidth, dv = (v - 0.34) * kHeight;
    const double distance = std::sqrt(du * du + dv * dv);
    if (distance < 46) return {255, 244, 214};
    return mix(color, {255, 226, 160}, 0.75 * std::exp(-(distance - 46) / 70));
}

// The scene above the shore at (u, v); v grows downwards.
Rgb land(double u, double v) {
    const double farTop = kHorizon - ridge(u, 0.2, 0.08, 3);
    const double nearTop = kHorizon - ridge(u, 0.09, 0.14, 7) + 0.04;
    if (v >= nearTop) {
        const double shade = fractalNoise(u * 60, v * 40);
        return mix({34, 52, 30}, {88, 96, 52}, shade * 0.9 + (v - nearTop) * 2);
    }
    if (v >= farTop) {
        const double shade = fractalNoise(u * 25, v * 18);
        return mix({92, 98, 132}, {150, 130, 140}, shade * 0.8 + (v - farTop) * 1.5);
    }
    return sky(u, v);
}

Rgb lake(double u, double v) {
    const double depth = v - kHorizon;
    const double ripple = 0.004 * std::sin(v * 900 + 3 * std::sin(u * 40)) * (0.3 + depth * 4);
    const Rgb mirrored = land(u + ripple, kHorizon - depth * 1.1);
    return mix(mirrored, {20, 40, 70}, 0.25 + depth * 1.2);
}

Rgb bank(double u, double v) {
    const double grass = fractalNoise(u * 140, v * 60);
    return mix({58, 82, 28}, {170, 160, 70}, grass * 1.2 - 0.1);
}

Rgb scene(double u, double v) {
    const double shore = 0.88 + 0.03 * std::sin(u * 9) + 0.02 * fractalNoise(u * 30, 5);
    if (v >= shore) return bank(u, v);
    if (v >= kHorizon) return lake(u, v);
    return land(u, v);
}

std::uint8_t channel(double value) {
    return std::uint8_t(std::clamp(value, 0.0, 255.0) + 0.5);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeSamplePicture OUTPUT.jpg\n");
        return 2;
    }
    SilentFrontend frontend;
    DibImage image;
    if (createDib(frontend, image, kWidth, kHeight, 24, 0) != 0) return 1;
    for (int row = 0; row < kHeight; ++row) {
        // Stored rows run bottom-up: stored row 0 is the bottom of the scene.
        const double v = (kHeight - 1 - row + 0.5) / kHeight;
        std::uint8_t* pixels = image.row(row);
        for (int x = 0; x < kWidth; ++x) {
            const Rgb c = scene((x + 0.5) / kWidth, v);
            pixels[3 * x] = channel(c.b);
            pixels[3 * x + 1] = channel(c.g);
            pixels[3 * x + 2] = channel(c.r);
        }
    }
    std::string error;
    if (!imageio::savePicture(argv[1], image, "image/jpeg", 90, 24, error)) {
        std::fprintf(stderr, "makeSamplePicture: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
