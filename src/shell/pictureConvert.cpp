#include "shell/pictureConvert.h"

#include "core/errors.h"
#include "core/failureCause.h"
#include "core/session.h"
#include "imageio/pictureLibrary.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vellora {

namespace {
constexpr auto kEncoders = std::to_array<std::pair<std::string_view, std::string_view>>({
    {"bmp", "image/bmp"},
    {"dib", "image/bmp"},
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"gif", "image/gif"},
    {"png", "image/png"},
    {"tiff", "image/tiff"},
});

// What follows the file name's last dot: the last dot or slash of the path is a dot.
std::string_view extensionOf(std::string_view destination) {
    const std::size_t dot = destination.find_last_of("./");
    if (dot == std::string_view::npos || destination[dot] == '/') return {};
    return destination.substr(dot + 1);
}

void setReason(std::string* reason, std::string text) {
    if (reason) *reason = std::move(text);
}
} // namespace

std::string_view encoderMimeType(std::string_view destination) {
    const std::string_view extension = extensionOf(destination);
    if (extension.empty()) return {};
    for (const auto& [suffix, mime] : kEncoders)
        if (suffix == extension) return mime;
    return {};
}

void noteUnknownExtension(std::string_view destination) {
    std::string cause =
        "cannot save \"" + std::string(destination) + "\": its name ends in none of";
    for (const auto& [suffix, mime] : kEncoders)
        cause.append(" .").append(suffix);
    noteFailureCause(std::move(cause));
}

bool isUsablePicturePath(std::string_view path) {
    return !path.empty() && path.size() < kMaxPathLength;
}

void reportUnusablePath(Frontend& frontend, std::string_view path) {
    if (path.empty())
        frontend.showMessage("error", "no file name was given");
    else
        frontend.showMessage("error", "the file path is longer than 259 characters");
}

int convertPicture(const std::string& destination, const std::string& source, int colorDepth,
                   int quality, std::string* reason, FileDurability durability) {
    if (!isUsablePicturePath(destination) || !isUsablePicturePath(source)) {
        setReason(reason, "unusable file path");
        return kFailed;
    }
    const std::string_view mime = encoderMimeType(destination);
    if (!imageio::hasEncoder(mime)) {
        noteUnknownExtension(destination);
        setReason(reason, "no encoder for " + destination);
        return kFailed;
    }
    DibImage picture;
    std::string error;
    if (!imageio::loadPicture(source, picture, error)) {
        noteFailureCause("cannot load \"" + source + "\": " + error);
    } else if (!imageio::savePicture(destination, std::move(picture), mime, quality, colorDepth,
                                     error, durability)) {
        noteFailureCause("cannot save \"" + destination + "\": " + error);
    } else {
        return 0;
    }
    setReason(reason, error);
    return kFailed;
}

int clampedQuality(std::uint32_t quality) {
    return int(std::min<std::uint32_t>(quality, 100));
}

} // namespace vellora
