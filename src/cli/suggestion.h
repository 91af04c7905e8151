#pragma once
// "did you mean ..." for a mistyped step, option or field name.
#include <span>
#include <string>
#include <string_view>

namespace vellora::cli {

// The known name nearest to `word`: at most two letters added, dropped or changed (case
// aside), or one of the two starting the other; empty when none is that near.
std::string_view nearestName(std::string_view word, std::span<const std::string_view> names);

// "\ndid you mean \"tiling\"?": a line of its own after the message, which stays as it was;
// empty when no name is near.
std::string didYouMean(std::string_view word, std::span<const std::string_view> names);

} // namespace vellora::cli
