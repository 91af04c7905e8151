#pragma once
// The one way operations talk to the user. The desktop program shows message boxes, a progress
// bar and a status bar; the command line writes to stderr; tests record every call.
#include <string_view>

namespace vellora {

class Frontend {
public:
    virtual ~Frontend() = default;
    // A modal message with its caption ("error", "alert", "alart", "notice" or empty).
    virtual void showMessage(std::string_view caption, std::string_view text) = 0;
    virtual void setProgressVisible(bool visible) = 0;
    // 0 … 100; repainted at once by the desktop program.
    virtual void setProgressPosition(int percent) = 0;
    virtual void setStatusText(std::string_view text) = 0;
};

// Swallows everything; for callers that have no one to tell (benchmarks, probes).
class SilentFrontend final : public Frontend {
public:
    void showMessage(std::string_view, std::string_view) override {}
    void setProgressVisible(bool) override {}
    void setProgressPosition(int) override {}
    void setStatusText(std::string_view) override {}
};

} // namespace vellora
