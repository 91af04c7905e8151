#include "shell/pictureConvert.h"

#include "core/session.h"
#include "imageio/pictureLibrary.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace vellora {

namespace fs = std::filesystem;

namespace {
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kEncoders{{
    {"bmp", "image/bmp"},
    {"dib", "image/bmp"},
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"gif", "image/gif"},
    {"png", "image/png"},
    {"tiff", "image/tiff"},
}};

// A plain buffer rather than a std::string: a signal handler may read it at any moment.
char pendingTemporary[4096];

void setPendingTemporary(const std::string& path) {
    pendingTemporary[0] = '\0';
    std::atomic_signal_fence(std::memory_order_seq_cst);
    if (path.size() >= sizeof pendingTemporary) return;
    std::memcpy(pendingTemporary + 1, path.c_str() + 1, path.size());
    std::atomic_signal_fence(std::memory_order_seq_cst);
    pendingTemporary[0] = path.empty() ? '\0' : path[0];
}

// A name beside the destination that no other file has yet: ".name.partNNN".
std::string temporaryNameFor(const std::string& destination) {
    const fs::path target(destination);
    const std::string stem = "." + target.filename().string() + ".part" +
                             std::to_string(static_cast<long>(getpid())) + "-";
    for (int n = 0;; ++n) {
        const fs::path candidate = target.parent_path() / (stem + std::to_string(n));
        std::error_code error;
        if (!fs::exists(candidate, error) && !error) return candidate.string();
        if (error || n == 999) return {};
    }
}

std::string_view extensionOf(std::string_view destination) {
    const std::size_t slash = destination.find_last_of('/');
    const std::string_view name =
        slash == std::string_view::npos ? destination : destination.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
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

bool isUsablePicturePath(std::string_view path) {
    return !path.empty() && path.size() < kMaxPathLength;
}

void reportUnusablePath(Frontend& frontend, std::string_view path) {
    if (path.empty()) frontend.showMessage("error", "no file name was given");
    else frontend.showMessage("error", "the file path is longer than 259 characters");
}

const char* temporaryPictureInProgress() { return pendingTemporary; }

bool writePictureSafely(const std::string& destination, const DibImage& image,
                        std::string_view mimeType, int quality, int colorDepth,
                        std::string& error) {
    const std::string temporary = temporaryNameFor(destination);
    if (temporary.empty()) {
        error = "cannot make a temporary file beside " + destination;
        return false;
    }
    setPendingTemporary(temporary);
    bool written = imageio::savePicture(temporary, image, mimeType, quality, colorDepth, error);
    if (written && std::rename(temporary.c_str(), destination.c_str()) != 0) {
        error = "cannot replace " + destination + ": " + std::strerror(errno);
        written = false;
    }
    if (!written) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
    setPendingTemporary({});
    return written;
}

int convertPicture(const std::string& destination, const std::string& source, int colorDepth,
                   int quality, std::string* reason) {
    if (!isUsablePicturePath(destination) || !isUsablePicturePath(source)) {
        setReason(reason, "unusable file path");
        return 1;
    }
    const std::string_view mime = encoderMimeType(destination);
    if (mime.empty() || !imageio::hasEncoder(mime)) {
        setReason(reason, "no encoder for " + destination);
        return 1;
    }
    DibImage picture;
    std::string error;
    if (!imageio::loadPicture(source, picture, error) ||
        !writePictureSafely(destination, picture, mime, quality, colorDepth, error)) {
        setReason(reason, error);
        return 1;
    }
    return 0;
}

int clampedQuality(std::uint32_t quality) { return int(std::min<std::uint32_t>(quality, 100)); }

} // namespace vellora
