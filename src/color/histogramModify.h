#pragma once
// Histogram modification: for every enabled channel the span lo … hi of its values in the
// picture is mapped linearly onto outset … endset. An indexed picture has only its palette
// changed, a true-colour one every pixel.
#include "core/session.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace vellora {

// Per channel in colour byte order (blue, green, red).
struct HistogramRequest {
    std::array<bool, 3> enabled{true, true, true};
    std::array<int, 3> outset{0, 0, 0};
    std::array<int, 3> endset{255, 255, 255};
};

// The request from the block's fields, which are stored red, green, blue.
HistogramRequest histogramRequest(const ParameterBlock& block);

// What every value 0 … 255 of one channel becomes for its lo and hi: (v − lo) × scale + outset,
// clamped and truncated; the identity when lo … hi already is outset … endset. A channel of a
// single value (hi = lo) has no span to scale and takes the outset.
std::array<std::uint8_t, 256> histogramChannelTable(bool enabled, int lo, int hi, int outset,
                                                    int endset);

// Makes and fills the modified picture. 0, or the reported code.
int modifyHistogramToImage(Session& session, const DibImage& source, DibImage& target,
                           const HistogramRequest& request);

// Current intermediate file → nextPath; 0 or 1. Ranges the dialog would refuse are refused
// with its message (caption "alart").
int modifyHistogram(Session& session, const HistogramRequest& request);

// The dialog's check in the order red, green, blue, outset before endset: the empty text when
// all pass, else the message.
std::string_view histogramValuesError(const std::array<std::int64_t, 3>& outsetRGB,
                                      const std::array<std::int64_t, 3>& endsetRGB);

// The "Histogram Modify" command with the working block's nine fields.
int histogramHandler(Session& session);

} // namespace vellora
