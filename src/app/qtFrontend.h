#pragma once
// The desktop program's side of the operations' messages, progress and status: message boxes
// through the prompter, the progress bar inside the status bar and the status text, a permanent
// label of the status bar (a temporary status bar message would be cleared by every menu).
#include "core/frontend.h"

class QLabel;
class QProgressBar;
class QStatusBar;

namespace vellora::app {

class Prompter;

class QtFrontend final : public Frontend {
  public:
    // The widgets arrive once the main window has made them; until then calls are dropped.
    void attach(Prompter* prompter, QLabel* statusText, QProgressBar* progressBar);

    void showMessage(std::string_view caption, std::string_view text) override;
    void setProgressVisible(bool visible) override;
    void setProgressPosition(int percent) override;
    void setStatusText(std::string_view text) override;

  private:
    Prompter* prompter_ = nullptr;
    QLabel* statusText_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
};

// The status text: a label filling the status bar's one part. Made before the progress bar, so
// that the bar, placed over it, is drawn on top while an operation runs.
QLabel* addStatusText(QStatusBar& statusBar);

// Lets the window system repaint while an operation runs, without handling any user input.
void keepWindowPainted();

} // namespace vellora::app
