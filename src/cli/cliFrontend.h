#pragma once
// The command line's way of telling the user: every message as one "caption: text" line on
// the error stream, and a progress bar there while an operation runs, drawn only when the
// stream is a terminal.
#include "core/frontend.h"

#include <cstdio>

namespace vellora::cli {

class CliFrontend final : public Frontend {
  public:
    CliFrontend(std::FILE* stream, bool drawProgress);
    ~CliFrontend() override;

    void showMessage(std::string_view caption, std::string_view text) override;
    void setProgressVisible(bool visible) override;
    void setProgressPosition(int percent) override;
    void setStatusText(std::string_view) override {} // the picture's size is not news here

  private:
    void drawBar();
    void eraseBar();

    std::FILE* stream_;
    bool drawProgress_;
    bool barShown_ = false;
    int percent_ = 0;
};

// Whether progress should be drawn on this stream: only when it is a terminal.
bool isTerminal(std::FILE* stream);

} // namespace vellora::cli
