#include "color/evenPalette.h"

#include "core/dibImage.h"

#include <vector>

namespace vellora {

namespace {
void setChannel(EvenPaletteRecord& record, int channel, int divisions) {
    const int steps = divisions <= 1 ? 1 : divisions - 1;
    const int step = 255 / steps;
    record.divisions[channel] = std::uint8_t(divisions);
    record.steps[channel] = std::uint8_t(steps);
    record.step[channel] = std::uint8_t(step);
    record.halfStep[channel] = std::uint8_t(step / 2);
}

// The level the lookup gives for 255, the largest any value can reach.
int highestLookupLevel(const EvenPaletteRecord& record, int channel) {
    if (record.divisions[channel] == 1) return 0;
    const int s = record.step[channel];
    return 255 / s + (255 % s > record.halfStep[channel] ? 1 : 0);
}
} // namespace

EvenPaletteLookup::EvenPaletteLookup(const EvenPaletteRecord& record) {
    // A channel's share is the index of the colour holding only that channel: the other
    // channels' levels are 0 there.
    for (int v = 0; v < 256; ++v) {
        const std::uint8_t value = std::uint8_t(v);
        share_[0][value] = evenPaletteIndex(record, value, 0, 0);
        share_[1][value] = evenPaletteIndex(record, 0, value, 0);
        share_[2][value] = evenPaletteIndex(record, 0, 0, value);
    }
}

bool EvenPaletteLookup::channelLevels(const std::uint8_t* palette, std::size_t entries,
                                      ChannelLevels& levels) const {
    // A value matters only through its share, so checking one value per distinct share of
    // each channel covers every colour.
    std::array<std::vector<int>, 3> representatives;
    for (int k = 0; k < 3; ++k) {
        for (int v = 0; v < 256; ++v) {
            if (share_[k][v] >= entries) return false;
            levels[k][v] = palette[4 * std::size_t(share_[k][v]) + std::size_t(k)];
            if (v == 0 || share_[k][v] != share_[k][v - 1]) representatives[k].push_back(v);
        }
    }
    for (const int b : representatives[0])
        for (const int g : representatives[1])
            for (const int r : representatives[2]) {
                const std::size_t index = (*this)(std::uint8_t(b), std::uint8_t(g), std::uint8_t(r));
                if (index >= entries) return false;
                const std::uint8_t* entry = palette + 4 * index;
                if (entry[0] != levels[0][b] || entry[1] != levels[1][g] || entry[2] != levels[2][r])
                    return false;
            }
    return true;
}

std::uint32_t evenPaletteEntriesFor(std::uint32_t colorCount) {
    if (colorCount < 3) return 2;
    if (colorCount < 17) return 16;
    return 256;
}

EvenPaletteRecord makeEvenPaletteRecord(int red, int green, int blue) {
    EvenPaletteRecord record;
    record.colorCount = std::uint32_t(red * green * blue);
    setChannel(record, 0, blue);
    setChannel(record, 1, green);
    setChannel(record, 2, red);
    record.entriesStored = evenPaletteEntriesFor(record.colorCount);
    return record;
}

void writeEvenPaletteRecord(const EvenPaletteRecord& record, std::uint8_t* bytes) {
    writeLe32(bytes, record.colorCount);
    for (int k = 0; k < 3; ++k) {
        bytes[4 + k] = record.divisions[k];
        bytes[7 + k] = record.steps[k];
        bytes[10 + k] = record.step[k];
        bytes[13 + k] = record.halfStep[k];
    }
    writeLe32(bytes + 16, record.entriesStored);
}

EvenPaletteRecord readEvenPaletteRecord(const std::uint8_t* bytes) {
    EvenPaletteRecord record;
    record.colorCount = readLe32(bytes);
    for (int k = 0; k < 3; ++k) {
        record.divisions[k] = bytes[4 + k];
        record.steps[k] = bytes[7 + k];
        record.step[k] = bytes[10 + k];
        record.halfStep[k] = bytes[13 + k];
    }
    record.entriesStored = readLe32(bytes + 16);
    return record;
}

std::uint8_t evenLevel(const EvenPaletteRecord& record, int channel, int level) {
    if (record.divisions[channel] == 1) return 16;
    if (level < record.steps[channel]) return std::uint8_t(level * record.step[channel]);
    return 255;
}

void fillEvenPaletteEntries(const EvenPaletteRecord& record, std::uint8_t* entries) {
    std::uint8_t* entry = entries;
    for (int iR = 0; iR < record.divisions[2]; ++iR)
        for (int iG = 0; iG < record.divisions[1]; ++iG)
            for (int iB = 0; iB < record.divisions[0]; ++iB) {
                entry[0] = evenLevel(record, 0, iB);
                entry[1] = evenLevel(record, 1, iG);
                entry[2] = evenLevel(record, 2, iR);
                entry[3] = 0;
                entry += 4;
            }
}

bool isUsableEvenRecord(const EvenPaletteRecord& record, std::size_t entriesAvailable) {
    std::uint32_t product = 1;
    for (int k = 0; k < 3; ++k) {
        const int d = record.divisions[k];
        if (d < 1 || d > kMaxEvenDivisions) return false;
        if (d > 1 && record.step[k] == 0) return false;
        if (highestLookupLevel(record, k) > d - 1) return false;
        product *= std::uint32_t(d);
    }
    return product == record.colorCount && product <= kMaxEvenColors && product <= entriesAvailable;
}

} // namespace vellora
