#include "core/failureCause.h"

#include <cstring>

namespace vellora {

namespace {
// Per thread: a failure is detected and shown on the thread that ran the failing step.
thread_local std::string waitingCause;
} // namespace

void noteFailureCause(std::string cause) {
    waitingCause = std::move(cause);
}

void noteFileFailure(std::string_view verb, const std::filesystem::path& path, int error) {
    noteFailureCause("cannot " + std::string(verb) + " \"" + path.string() +
                     "\": " + std::strerror(error));
}

std::string pictureSizeText(std::int64_t width, std::int64_t height, int bitsPerPixel) {
    return "a " + std::to_string(width) + " x " + std::to_string(height) + " picture of " +
           std::to_string(bitsPerPixel) + " bits per pixel";
}

void noteOutOfMemory(std::int64_t width, std::int64_t height, int bitsPerPixel) {
    noteFailureCause("not enough memory for " + pictureSizeText(width, height, bitsPerPixel));
}

std::string takeFailureCause() {
    std::string cause;
    cause.swap(waitingCause);
    return cause;
}

void forgetFailureCause() {
    waitingCause.clear();
}

std::string withFailureCause(std::string_view text) {
    std::string message(text);
    const std::string cause = takeFailureCause();
    if (!cause.empty()) message.append("\n").append(cause);
    return message;
}

} // namespace vellora
