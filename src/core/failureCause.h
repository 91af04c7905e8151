#pragma once
// Why the latest failure happened, kept where it is detected (the system's text for a failed
// read or write, a decoder's reason, the size that did not fit in memory) until the failure's
// message is shown: showError and reportError put it on the message's second line and forget
// it. A later cause replaces an earlier one (the failure being shown is the latest); every
// command and operation forgets what an earlier one left unshown before it starts.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vellora {

void noteFailureCause(std::string cause);

// 'cannot VERB "path": ' and the system's text for `error` (an errno value).
void noteFileFailure(std::string_view verb, const std::filesystem::path& path, int error);

// "a W x H picture of B bits per pixel".
std::string pictureSizeText(std::int64_t width, std::int64_t height, int bitsPerPixel);

// 'not enough memory for a W x H picture of B bits per pixel'.
void noteOutOfMemory(std::int64_t width, std::int64_t height, int bitsPerPixel);

// The waiting cause, forgotten; empty when there is none.
std::string takeFailureCause();

void forgetFailureCause();

// `text`, and the waiting cause (taken) on a second line when there is one.
std::string withFailureCause(std::string_view text);

} // namespace vellora
