#include "support/recordingFrontend.h"

#include "core/failureCause.h"

namespace vellora::test {

RecordingFrontend::RecordingFrontend() {
    forgetFailureCause();
}

void RecordingFrontend::showMessage(std::string_view caption, std::string_view text) {
    messages.push_back({std::string(caption), std::string(text)});
}
void RecordingFrontend::setProgressVisible(bool visible) {
    progressVisibility.push_back(visible);
}
void RecordingFrontend::setProgressPosition(int percent) {
    progressPositions.push_back(percent);
}
void RecordingFrontend::setStatusText(std::string_view text) {
    statusTexts.emplace_back(text);
}

std::vector<std::string> RecordingFrontend::texts() const {
    std::vector<std::string> result;
    for (const auto& m : messages)
        result.push_back(m.text);
    return result;
}

void RecordingFrontend::clear() {
    messages.clear();
    progressPositions.clear();
    progressVisibility.clear();
    statusTexts.clear();
}

std::vector<Message> RecordingFrontend::withoutCauses() const {
    std::vector<Message> cut = messages;
    for (Message& message : cut)
        message.text = message.text.substr(0, message.text.find('\n'));
    return cut;
}

} // namespace vellora::test
