#pragma once
// One run of vellora-cli: the parameter block, the input opened as Open does, the steps in
// order, and the outputs once every step has succeeded.
#include <cstdio>
#include <span>
#include <string>

namespace vellora::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1; // an operation failed; no output was written
inline constexpr int kExitUsage = 2;

// `arguments` excludes the program name; --help, --help-fields and --version go to `out`,
// everything else to `err`.
int runCli(std::span<const std::string> arguments, std::FILE* out, std::FILE* err);

} // namespace vellora::cli
