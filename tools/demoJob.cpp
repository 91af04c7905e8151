// The demonstration job: draws a small 8 bpp sample picture, makes it the current picture of a
// session and converts it to 24 bpp through the operation frame, as a command would.
#include "core/dibImage.h"
#include "core/intermediateFiles.h"
#include "core/operationFrame.h"
#include "core/pixelAccess.h"
#include "core/session.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace vellora;
namespace fs = std::filesystem;

class StderrFrontend final : public Frontend {
public:
    void showMessage(std::string_view caption, std::string_view text) override {
        std::fprintf(stderr, "%.*s: %.*s\n", int(caption.size()), caption.data(), int(text.size()),
                     text.data());
    }
    void setProgressVisible(bool) override {}
    void setProgressPosition(int) override {}
    void setStatusText(std::string_view) override {}
};

// A 96 x 64 picture of 8 bpp: a 16-step colour ramp across, darker towards the bottom.
int drawSample(Frontend& frontend, DibImage& image) {
    constexpr int kWidth = 96, kHeight = 64;
    if (createDib(frontend, image, kWidth, kHeight, 8, 256) != 0) return 1;
    for (int i = 0; i < 256; ++i) {
        std::uint8_t* entry = image.paletteEntry(i);
        const int hue = i % 16, shade = i / 16;
        entry[0] = std::uint8_t(hue * 17 * shade / 15);
        entry[1] = std::uint8_t((255 - hue * 17) * shade / 15);
        entry[2] = std::uint8_t(255 * shade / 15);
    }
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            putIndexSequential(image, std::uint8_t(16 * (y / 4) + x / 6), y, x, 8);
    return 0;
}

bool copyResult(const std::string& from, const fs::path& to) {
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    if (error) std::fprintf(stderr, "vellora-demo: cannot copy to %s\n", to.c_str());
    return !error;
}

} // namespace

int main(int argc, char** argv) {
    const fs::path output = argc > 1 ? fs::path(argv[1]) : fs::current_path();
    StderrFrontend frontend;
    Session session(frontend);
    DibImage sample;
    if (drawSample(frontend, sample) != 0) return 1;
    const fs::path samplePath = output / "sample8bpp.bmp";
    if (writeBitmapFile(frontend, samplePath, sample) != 0) return 1;
    if (nextIntermediatePath(session, session.currentPath) != 0) return 1;
    if (writeBitmapFile(frontend, session.currentPath, sample) != 0) return 1;
    if (convertToTrueColor(session) != 0) return 1;
    const fs::path resultPath = output / "sample24bpp.bmp";
    if (!copyResult(session.currentPath, resultPath)) return 1;
    std::printf("sample picture (8 bpp): %s\n", samplePath.c_str());
    std::printf("converted to 24 bpp:    %s\n", resultPath.c_str());
    return 0;
}
