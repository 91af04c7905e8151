#pragma once
// A displayless main window driving the dispatcher: dialogs answer OK, file choosers take the next
// queued name (none left: cancelled), what it shows is recorded. Header only; users link the shell.
#include "shell/dispatcher.h"

#include <deque>
#include <string>
#include <vector>

namespace vellora::test {

class AcceptingWindow final : public ShellWindow {
  public:
    void repaintView() override { ++repaints; }
    void setTitle(const std::string& text) override { title = text; }
    void setCommandsEnabled(const CommandSet& set) override { commands = set; }
    void setZoomCheck(int) override {}
    bool textPaneShown() const override { return paneShown; }
    void showTextPane(bool shown) override { paneShown = shown; }
    void setTableText(const std::string& text) override { tableText = text; }
    bool chooseFile(FileChooserKind, std::string& path) override {
        offered.push_back(path);
        if (chosen.empty()) return false;
        path = chosen.front();
        chosen.pop_front();
        return true;
    }
    SaveChangesAnswer askSaveChanges(const std::string&) override { return answer; }
    bool confirmExit() override { return false; }
    void showAbout(const std::string&) override {}
    bool runDialog(int, Session&) override { return true; }
    void requestClose() override {}

    SaveChangesAnswer answer = SaveChangesAnswer::No;
    int repaints = 0;
    std::string title;
    CommandSet commands;
    bool paneShown = false;
    std::string tableText;
    std::deque<std::string> chosen;
    std::vector<std::string> offered; // the name each chooser opened on
};

} // namespace vellora::test
