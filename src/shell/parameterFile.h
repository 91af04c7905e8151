#pragma once
// The parameter file "vellora.par": 12 reserved bytes, carried unchanged from the file read at
// start-up to the file written at exit, then the 804-byte saved parameter block; 816 bytes.
#include "core/frontend.h"
#include "core/parameterBlock.h"
#include "core/session.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace vellora {

inline constexpr std::size_t kParameterFileReservedBytes = 12;
inline constexpr std::size_t kParameterFileBytes =
    kParameterFileReservedBytes + kParameterBlockBytes;
using ParameterFileReserved = std::array<std::uint8_t, kParameterFileReservedBytes>;

// The main window's outer rectangle, frame included, in screen pixels.
struct WindowRectangle {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Where the desktop program keeps the file: $XDG_CONFIG_HOME/vellora/vellora.par
// (~/.config when unset), never beside the executable.
std::filesystem::path parameterFilePath();

// Lays the file's bytes over `reserved` and `saved`: what a short file lacks keeps the values
// they had. Values outside their field's range become the field's default. False for no bytes.
bool loadParameterBytes(std::span<const std::uint8_t> bytes, ParameterFileReserved& reserved,
                        ParameterBlock& saved);
// Reads the file as above; false, silently, when there is none or it cannot be read.
bool loadParameterFile(const std::filesystem::path& path, ParameterFileReserved& reserved,
                       ParameterBlock& saved);

// Stores the rectangle and its width and height in `saved`, then writes the 816 bytes, making a
// missing folder (mode 0700). The old file is replaced only by a complete new one. 0, or -1
// after "failed to open .par file" (caption "alert") with the path and the cause on a second line.
int saveParameterFile(Frontend& frontend, const std::filesystem::path& path,
                      const WindowRectangle& outer, ParameterBlock& saved,
                      const ParameterFileReserved& reserved);

// For each save-as-default flag set in `working`, in flag order: copies its group of fields
// into `saved` and clears the flag. The crop flag is cleared without copying anything.
void mergeSavedDefaults(ParameterBlock& saved, ParameterBlock& working);

// Start-up: the file into the saved block, the defaults when nothing was read, the window
// geometry defaults (when given), then the working block as a copy of the saved one. Returns
// whether a file was read.
bool loadStartupParameters(Session& session, const std::filesystem::path& path,
                           const std::function<void(ParameterBlock&)>& windowDefaults = {});

// Exit: writes the session's saved block and reserved bytes with the window rectangle.
int saveSessionParameters(Session& session, const std::filesystem::path& path,
                          const WindowRectangle& outer);

} // namespace vellora
