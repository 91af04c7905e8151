#pragma once
// Even colour palettes: every combination of a few evenly spaced levels per channel.
//
// The 20-byte record (little-endian) that ends every even colour palette file:
//   0  u32 colour count = red × green × blue divisions
//   4  u8  divisions blue, green, red (bytes 4, 5, 6)
//   7  u8  steps: divisions − 1, or 1 for a single division (blue, green, red)
//   10 u8  step = 255 ÷ steps (blue, green, red)
//   13 u8  half step = step ÷ 2 (blue, green, red)
//   16 u32 palette entries stored in the file: 2, 16 or 256
// Channel arrays below are indexed like the bytes of a colour: 0 blue, 1 green, 2 red.
#include <array>
#include <cstddef>
#include <cstdint>

namespace vellora {

inline constexpr std::size_t kEvenPaletteRecordBytes = 20;
inline constexpr int kMaxEvenDivisions = 9;
inline constexpr int kMaxEvenColors = 256;

struct EvenPaletteRecord {
    std::uint32_t colorCount = 0;
    std::array<std::uint8_t, 3> divisions{};
    std::array<std::uint8_t, 3> steps{};
    std::array<std::uint8_t, 3> step{};
    std::array<std::uint8_t, 3> halfStep{};
    std::uint32_t entriesStored = 0;
};

// The record for the given divisions per channel (each 1 … 9).
EvenPaletteRecord makeEvenPaletteRecord(int red, int green, int blue);

void writeEvenPaletteRecord(const EvenPaletteRecord& record, std::uint8_t* bytes);
EvenPaletteRecord readEvenPaletteRecord(const std::uint8_t* bytes);

// Entries a file stores for a colour count: 2 below 3, 16 below 17, else 256.
std::uint32_t evenPaletteEntriesFor(std::uint32_t colorCount);

// The value of level `level` (0 … divisions − 1) of a channel: 16 for a single division, the
// level times the step, and 255 for the last level (6 divisions: 0, 51, 102, 153, 204, 255).
std::uint8_t evenLevel(const EvenPaletteRecord& record, int channel, int level);

// Writes the colourCount entries (blue, green, red, 0) in the order red outermost, green, blue
// innermost: entry (iR × dG + iG) × dB + iB.
void fillEvenPaletteEntries(const EvenPaletteRecord& record, std::uint8_t* entries);

// The lookup of a colour in an even palette: per channel q = v ÷ step, plus one when the
// remainder is above the half step (q = 0 for a single division); index = qB + dB × (qG + dG × qR)
// in 8-bit arithmetic.
inline std::uint8_t evenPaletteIndex(const EvenPaletteRecord& record, std::uint8_t blue,
                                     std::uint8_t green, std::uint8_t red) {
    const std::uint8_t value[3] = {blue, green, red};
    std::uint8_t q[3];
    for (int k = 0; k < 3; ++k) {
        if (record.divisions[k] == 1) {
            q[k] = 0;
            continue;
        }
        const std::uint8_t s = record.step[k];
        q[k] = std::uint8_t(value[k] / s + (value[k] % s > record.halfStep[k] ? 1 : 0));
    }
    const std::uint8_t inner = std::uint8_t(q[1] + std::uint8_t(record.divisions[1] * q[2]));
    return std::uint8_t(q[0] + std::uint8_t(record.divisions[0] * inner));
}

// The same lookup as three tables, one per channel: in 8-bit arithmetic the index is
// qB + dB × qG + dB × dG × qR, so each channel's share can be looked up alone and the three
// shares added modulo 256. Only for records that pass isUsableEvenRecord.
class EvenPaletteLookup {
  public:
    explicit EvenPaletteLookup(const EvenPaletteRecord& record);
    std::uint8_t operator()(std::uint8_t blue, std::uint8_t green, std::uint8_t red) const {
        return std::uint8_t(share_[0][blue] + share_[1][green] + share_[2][red]);
    }

    // Per channel and value, the channel of the entry the lookup gives, when a palette
    // (`entries` 4-byte blue, green, red, 0 entries) is such that this does not depend on the
    // other two channels, as in a palette made of the levels; false otherwise. Then the error a
    // colour leaves behind is known channel by channel before its index is.
    using ChannelLevels = std::array<std::array<std::uint8_t, 256>, 3>;
    bool channelLevels(const std::uint8_t* palette, std::size_t entries,
                       ChannelLevels& levels) const;

  private:
    std::array<std::array<std::uint8_t, 256>, 3> share_{};
};

// Whether the lookup is safe and stays inside the palette: divisions 1 … 9 whose product is the
// colour count, steps that are not zero, every index below the colour count, and no more colours
// than `entriesAvailable`.
bool isUsableEvenRecord(const EvenPaletteRecord& record, std::size_t entriesAvailable);

} // namespace vellora
