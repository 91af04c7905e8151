#pragma once
// The user's own folders, as Linux programs share them: settings under $XDG_CONFIG_HOME
// (~/.config when unset or empty), data under $XDG_DATA_HOME (~/.local/share). The home folder
// is $HOME, or the account's home when HOME is unset.
#include <filesystem>
#include <system_error>

namespace vellora {

// The folder of the running executable (from /proc/self/exe): the build tree keeps what a
// program reads beside it, an installation one folder up.
std::filesystem::path executableFolder();

// "<config home>/vellora".
std::filesystem::path configFolder();
// "<data home>/vellora".
std::filesystem::path dataFolder();

// Makes `folder` and every missing folder above it with mode 0700, as the user's settings
// folders are made; true when it exists as a folder afterwards.
bool makeUserFolder(const std::filesystem::path& folder, std::error_code& error);

} // namespace vellora
