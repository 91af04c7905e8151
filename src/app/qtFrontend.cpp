#include "app/qtFrontend.h"

#include "app/prompter.h"

#include <QCoreApplication>
#include <QLabel>
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

QLabel* addStatusText(QStatusBar& statusBar) {
    auto* label = new QLabel(&statusBar);
    label->setObjectName("statusText");
    label->setTextFormat(Qt::PlainText);
    // A long text is cut off rather than widening the window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar.addPermanentWidget(label, 1);
    return label;
}

void QtFrontend::attach(Prompter* prompter, QLabel* statusText, QProgressBar* progressBar) {
    prompter_ = prompter;
    statusText_ = statusText;
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
    if (statusText_ == nullptr) return;
    statusText_->setText(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

} // namespace vellora::app
