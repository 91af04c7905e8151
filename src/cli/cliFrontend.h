#pragma once
// The command line's way of telling the user: every message as one "caption: text" line on
// the error stream, and, when the stream is a terminal, a progress line for an operation once
// it has run longer than the delay.
#include "core/frontend.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace vellora::cli {

class CliFrontend final : public Frontend {
  public:
    using Clock = std::chrono::steady_clock;

    CliFrontend(std::FILE* stream, bool drawProgress,
                Clock::duration delay = std::chrono::seconds(1));
    ~CliFrontend() override;

    void showMessage(std::string_view caption, std::string_view text) override;
    void setProgressVisible(bool visible) override;
    void setProgressPosition(int percent) override;
    void setStatusText(std::string_view) override {} // the picture's size is not news here

    // The name the progress line starts with: the step that runs.
    void setLabel(std::string label) { label_ = std::move(label); }

  private:
    void drawBar();
    void eraseBar();

    std::FILE* stream_;
    bool drawProgress_;
    Clock::duration delay_;
    Clock::time_point shownAt_{};
    bool visible_ = false;
    bool barShown_ = false;
    std::size_t barWidth_ = 0; // of the line last drawn
    int percent_ = 0;
    std::string label_;
};

// Whether progress should be drawn on this stream: only when it is a terminal.
bool isTerminal(std::FILE* stream);

} // namespace vellora::cli
