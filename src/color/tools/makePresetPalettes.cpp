// Writes the thirteen preset palette files into the folder given as the only argument: the
// eleven even colour palettes through makeEvenPaletteFile, the two basic ones from the colour
// keyword tables.
#include "color/basicColors.h"
#include "color/evenPaletteFile.h"
#include "color/paletteFolders.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using namespace vellora;

class StderrFrontend final : public Frontend {
  public:
    void showMessage(std::string_view caption, std::string_view text) override {
        std::cerr << caption << ": " << text << '\n';
    }
    void setProgressVisible(bool) override {}
    void setProgressPosition(int) override {}
    void setStatusText(std::string_view) override {}
};

struct Divisions {
    int red, green, blue;
};
constexpr std::array<Divisions, 11> kEvenPresets{{{2, 1, 1},
                                                  {1, 2, 1},
                                                  {1, 1, 2},
                                                  {4, 2, 2},
                                                  {4, 4, 2},
                                                  {4, 4, 3},
                                                  {5, 4, 3},
                                                  {6, 4, 4},
                                                  {7, 5, 4},
                                                  {6, 6, 6},
                                                  {8, 6, 5}}};

bool writeBasic(const std::filesystem::path& path, std::span<const NamedColor> colors) {
    const std::vector<std::uint8_t> bytes = basicPaletteFileBytes(colors);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) std::cerr << "cannot write " << path << '\n';
    return bool(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: makePresetPalettes FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    // makeEvenPaletteFile writes into the user folder; here that folder is the preset one.
    setPaletteFolderOverride(PaletteFolders{folder, folder});
    StderrFrontend frontend;
    for (const Divisions& d : kEvenPresets)
        if (makeEvenPaletteFile(frontend, d.red, d.green, d.blue) != 0) return 1;
    if (!writeBasic(folder / "basicColorPalette_016.bcp", basicColorKeywords())) return 1;
    if (!writeBasic(folder / "basicColorPalette_147ex.bcp", extendedColorKeywords())) return 1;
    return 0;
}
