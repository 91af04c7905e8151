#include "shell/viewPaint.h"

#include "core/progress.h"
#include "imageio/pictureLibrary.h"
#include "shell/pictureImport.h"

namespace vellora {

void paintViewModel(Session& session, ViewScroll& scroll, const LoadedPicture* picture,
                    int clientWidth, int clientHeight) {
    ImageInfo& info = session.currentInfo;
    if (picture != nullptr) {
        info.width = picture->width;
        info.height = picture->height;
        info.clientWidth = clientWidth;
        info.clientHeight = clientHeight;
        layoutPicture(info);
        if (isRecognisedDepth(picture->bitsPerPixel)) info.bitsPerPixel = picture->bitsPerPixel;
    } else if (info.layoutByte() == 0) {
        layoutPicture(info); // no picture after Close: its scroll bars go too
    }
    updateScrollRecords(info, scroll);
    updateStatusText(session, 1);
}

bool loadViewPixels(const std::string& path, std::vector<std::uint32_t>& argb,
                    LoadedPicture& picture) {
    DibImage dib;
    std::string reason;
    if (!imageio::loadPicture(path, dib, reason)) return false;
    imageio::viewPixels(dib, argb);
    picture = {int(dib.width), int(dib.height), int(dib.bitsPerPixel)};
    return true;
}

} // namespace vellora
