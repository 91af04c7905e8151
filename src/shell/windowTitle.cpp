#include "shell/windowTitle.h"

#include "shell/commandTable.h"

#include <filesystem>

namespace vellora {

std::string fileNamePart(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string windowTitle(const ImageInfo& dialogInfo, const std::string& picturePath) {
    if (!dialogInfo.hasPicture()) return kProgramName;
    const int index = dialogInfo.zoomIndex;
    const int percent = index >= 0 && index < int(dialogInfo.zoomPercent.size())
                            ? dialogInfo.zoomPercent[std::size_t(index)]
                            : 0;
    return std::string(kProgramName) + " -- " + fileNamePart(picturePath) + ", " +
           std::to_string(percent) + " %";
}

int checkedZoomItem(const ImageInfo& dialogInfo) {
    if (dialogInfo.layoutByte() == 0) return -1;
    if (dialogInfo.zoomIndex < 0 || dialogInfo.zoomIndex > kCmdZoomLast - kCmdZoomFirst) return -1;
    return kCmdZoomFirst + dialogInfo.zoomIndex;
}

} // namespace vellora
