#pragma once
// The desktop program's side of the operations' messages, progress and status: message boxes
// through the prompter, the progress bar inside the status bar and the status text.
#include "core/frontend.h"

class QProgressBar;
class QStatusBar;

namespace vellora::app {

class Prompter;

class QtFrontend final : public Frontend {
  public:
    // The widgets arrive once the main window has made them; until then calls are dropped.
    void attach(Prompter* prompter, QStatusBar* statusBar, QProgressBar* progressBar);

    void showMessage(std::string_view caption, std::string_view text) override;
    void setProgressVisible(bool visible) override;
    void setProgressPosition(int percent) override;
    void setStatusText(std::string_view text) override;

  private:
    Prompter* prompter_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
};

// Lets the window system repaint while an operation runs, without handling any user input.
void keepWindowPainted();

} // namespace vellora::app
