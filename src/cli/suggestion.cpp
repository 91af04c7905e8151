#include "cli/suggestion.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <vector>

namespace vellora::cli {

namespace {
constexpr std::size_t kMostEdits = 2;
constexpr std::size_t kShortestPrefix = 3; // letters beyond the leading dashes

char folded(char c) {
    return char(std::tolower(static_cast<unsigned char>(c)));
}

// Levenshtein distance, letters compared without case.
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t change = diagonal + (folded(a[i - 1]) == folded(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, change});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool startsEachOther(std::string_view word, std::string_view name) {
    const std::size_t dashes = std::min(word.find_first_not_of('-'), word.size());
    if (word.size() - dashes < kShortestPrefix) return false;
    return name.starts_with(word) || word.starts_with(name);
}
} // namespace

std::string_view nearestName(std::string_view word, std::span<const std::string_view> names) {
    std::string_view nearest;
    std::size_t best = kMostEdits + 1;
    for (std::string_view name : names) {
        const std::size_t distance = editDistance(word, name);
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    if (!nearest.empty()) return nearest;
    const auto prefixed = std::ranges::find_if(
        names, [&](std::string_view name) { return startsEachOther(word, name); });
    return prefixed == names.end() ? std::string_view{} : *prefixed;
}

std::string didYouMean(std::string_view word, std::span<const std::string_view> names) {
    const std::string_view name = nearestName(word, names);
    return name.empty() ? std::string{} : "\ndid you mean \"" + std::string(name) + "\"?";
}

} // namespace vellora::cli
