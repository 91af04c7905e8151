#include "support/recordingFrontend.h"

#include "core/failureCause.h"

namespace vellora::test {

RecordingFrontend::RecordingFrontend() {
    forgetFailureCause();
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
