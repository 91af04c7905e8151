#pragma once
#include "core/frontend.h"

#include <string_view>

namespace vellora {

// Error codes of the bitmap core; 0 is success. Callers only test for zero.
enum ErrorCode : int {
    kOk = 0,
    kErrorOpen = 1,
    kErrorCreate = 2,
    kErrorRead = 4,
    kErrorWrite = 8,
    kErrorAllocate = 16,
    kErrorNotBitmap = 32,
    kErrorCompressed = 64,
    kErrorBitsPerPixel = 128,
};

// What a routine returns when it has failed and has already said why.
inline constexpr int kFailed = 1;

// The message shown for a code; empty for the silent code 512.
std::string_view errorMessage(int code);

// Shows the code's message (caption "error"), with the waiting failure cause on a second line,
// and returns the code unchanged, so a failing routine can end with
// `return reportError(frontend, code);`.
int reportError(Frontend& frontend, int code);

// A message with caption "error", for failure texts that are not error codes; the waiting
// failure cause goes on its second line.
void showError(Frontend& frontend, std::string_view text);

} // namespace vellora
