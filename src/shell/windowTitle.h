#pragma once
// The main window's title and the zoom check mark, both drawn from dialogInfo.
#include "core/imageInfo.h"

#include <string>

namespace vellora {

inline constexpr const char* kProgramName = "vellora";

// The file name part of a path (after its last separator).
std::string fileNamePart(const std::string& path);

// "vellora -- cat.jpg, 100 %" with a picture, "vellora" without.
std::string windowTitle(const ImageInfo& dialogInfo, const std::string& picturePath);

// The zoom item to check (220 + zoomIndex), or -1 when the layout byte is 0 and none is.
int checkedZoomItem(const ImageInfo& dialogInfo);

} // namespace vellora
