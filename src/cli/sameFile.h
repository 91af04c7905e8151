#pragma once
// Whether two paths given on the command line name one file, however they are spelled.
#include <filesystem>

namespace vellora::cli {

// The same device and inode when both exist; otherwise the same path once made absolute,
// followed through its symbolic links (a dangling one leads to the file a write would make)
// and normalised: "./x", "x" and a link to x all name x.
bool namesSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace vellora::cli
