#include "cli/cliFrontend.h"

#include <algorithm>
#include <string>
#include <unistd.h>

namespace vellora::cli {

namespace {
constexpr int kBarWidth = 40;
}

CliFrontend::CliFrontend(std::FILE* stream, bool drawProgress, Clock::duration delay)
    : stream_(stream), drawProgress_(drawProgress), delay_(delay) {}

CliFrontend::~CliFrontend() {
    eraseBar();
}

void CliFrontend::showMessage(std::string_view caption, std::string_view text) {
    const bool redraw = barShown_;
    eraseBar();
    std::string line;
    if (!caption.empty()) line.append(caption).append(": ");
    line.append(text).push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stream_);
    std::fflush(stream_);
    if (redraw) drawBar();
}

void CliFrontend::setProgressVisible(bool visible) {
    if (!drawProgress_) return;
    visible_ = visible;
    if (visible) {
        percent_ = 0;
        shownAt_ = Clock::now();
        if (delay_ <= Clock::duration::zero()) drawBar();
    } else {
        eraseBar();
    }
}

void CliFrontend::setProgressPosition(int percent) {
    percent_ = std::clamp(percent, 0, 100);
    // A quick operation ends before its line would be worth reading.
    if (barShown_ || (visible_ && Clock::now() - shownAt_ >= delay_)) drawBar();
}

void CliFrontend::drawBar() {
    const int filled = percent_ * kBarWidth / 100;
    std::string bar = "\r";
    if (!label_.empty()) bar.append(label_).append(" ");
    bar.append("[").append(std::size_t(filled), '#').append(std::size_t(kBarWidth - filled), ' ');
    bar.append("] ").append(std::to_string(percent_)).append("%");
    std::fwrite(bar.data(), 1, bar.size(), stream_);
    std::fflush(stream_);
    barWidth_ = std::max(barWidth_, bar.size());
    barShown_ = true;
}

void CliFrontend::eraseBar() {
    if (!barShown_) return;
    const std::string blank = "\r" + std::string(barWidth_, ' ') + "\r";
    std::fwrite(blank.data(), 1, blank.size(), stream_);
    std::fflush(stream_);
    barShown_ = false;
}

bool isTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

} // namespace vellora::cli
