#include "app/qtFrontend.h"

#include "app/prompter.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>

#include <string>

namespace vellora::app {

void keepWindowPainted() {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread()) return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtFrontend::attach(Prompter* prompter, QStatusBar* statusBar, QProgressBar* progressBar) {
    prompter_ = prompter;
    statusBar_ = statusBar;
    progressBar_ = progressBar;
}

void QtFrontend::showMessage(std::string_view caption, std::string_view text) {
    if (prompter_ != nullptr) prompter_->showMessage(std::string(caption), std::string(text));
}

void QtFrontend::setProgressVisible(bool visible) {
    if (progressBar_ == nullptr) return;
    progressBar_->setVisible(visible);
    if (visible) progressBar_->repaint();
    keepWindowPainted();
}

void QtFrontend::setProgressPosition(int percent) {
    if (progressBar_ == nullptr) return;
    progressBar_->setValue(percent);
    progressBar_->repaint();
    keepWindowPainted();
}

void QtFrontend::setStatusText(std::string_view text) {
    if (statusBar_ == nullptr) return;
    statusBar_->showMessage(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

} // namespace vellora::app
