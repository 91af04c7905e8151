#include "scriptedPrompter.h"

namespace vellora::test {

void ScriptedPrompter::showMessage(const std::string& caption, const std::string& text) {
    messages.push_back(caption + ": " + text);
}

bool ScriptedPrompter::chooseFile(FileChooserKind, std::string& path) {
    questions.push_back("file");
    if (files.empty()) return false;
    const std::string chosen = files.front();
    files.pop_front();
    if (chosen.empty()) return false;
    path = chosen;
    return true;
}

SaveChangesAnswer ScriptedPrompter::askSaveChanges(const std::string& fileName) {
    questions.push_back("do you want to save the changes to " + fileName + "?");
    return saveAnswer;
}

bool ScriptedPrompter::confirmExit() {
    questions.push_back("are you sure to exit the program?");
    return exitAnswer;
}

void ScriptedPrompter::showAbout(const std::string& line) {
    questions.push_back("about " + line);
}

} // namespace vellora::test
