#pragma once
// A prompter whose answers the test queues and whose questions it records.
#include "app/prompter.h"

#include <deque>
#include <string>
#include <vector>

namespace vellora::test {

class ScriptedPrompter final : public app::Prompter {
  public:
    void showMessage(const std::string& caption, const std::string& text) override;
    bool chooseFile(FileChooserKind kind, std::string& path) override;
    SaveChangesAnswer askSaveChanges(const std::string& fileName) override;
    bool confirmExit() override;
    void showAbout(const std::string& line) override;

    std::deque<std::string> files; // chosen paths in order; "" cancels
    SaveChangesAnswer saveAnswer = SaveChangesAnswer::Cancel;
    bool exitAnswer = true;
    std::vector<std::string> messages;  // "caption: text"
    std::vector<std::string> questions; // what was asked, in order
};

} // namespace vellora::test
