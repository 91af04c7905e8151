#pragma once
// Everything the main window asks the user through a modal box: messages, file choosers, the
// save-changes and exit questions and the About box. The program uses QtPrompter; tests script
// the answers.
#include "shell/dispatcher.h"

#include <string>

class QWidget;

namespace vellora::app {

class Prompter {
  public:
    virtual ~Prompter() = default;
    virtual void showMessage(const std::string& caption, const std::string& text) = 0;
    virtual bool chooseFile(FileChooserKind kind, std::string& path) = 0;
    virtual SaveChangesAnswer askSaveChanges(const std::string& fileName) = 0;
    virtual bool confirmExit() = 0;
    virtual void showAbout(const std::string& line) = 0;
};

// Message boxes and file dialogs owned by `owner`.
class QtPrompter final : public Prompter {
  public:
    explicit QtPrompter(QWidget* owner) : owner_(owner) {}
    void showMessage(const std::string& caption, const std::string& text) override;
    bool chooseFile(FileChooserKind kind, std::string& path) override;
    SaveChangesAnswer askSaveChanges(const std::string& fileName) override;
    bool confirmExit() override;
    void showAbout(const std::string& line) override;

  private:
    QWidget* owner_;
};

} // namespace vellora::app
