#pragma once
// A frontend that records every call, so tests can assert the exact sequence of messages.
#include "core/frontend.h"

#include <string>
#include <vector>

namespace vellora::test {

struct Message {
    std::string caption;
    std::string text;
    bool operator==(const Message&) const = default;
};

class RecordingFrontend final : public Frontend {
  public:
    // Nothing an earlier test left unshown waits to join this one's messages.
    RecordingFrontend();
    void showMessage(std::string_view caption, std::string_view text) override {
        messages.push_back({std::string(caption), std::string(text)});
    }
    void setProgressVisible(bool visible) override { progressVisibility.push_back(visible); }
    void setProgressPosition(int percent) override { progressPositions.push_back(percent); }
    void setStatusText(std::string_view text) override { statusTexts.emplace_back(text); }

    std::vector<Message> messages;
    std::vector<int> progressPositions;
    std::vector<bool> progressVisibility;
    std::vector<std::string> statusTexts;

    // The message texts alone, in order.
    std::vector<std::string> texts() const;
    // Messages cut before their cause lines, to check fixed texts whose cause is a system's reason.
    std::vector<Message> withoutCauses() const;
    void clear();
};

} // namespace vellora::test
