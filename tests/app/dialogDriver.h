#pragma once
// Driving an operation dialog through its widgets in a test: controls are found by the object
// names the dialogs give them ("edit2660", "combo2640", "radio2620", "check516", "okay",
// "cancel"), text is typed as a user types it, and "Okay" is pressed with the messages it
// raised recorded by the session's frontend.
#include "core/session.h"
#include "support/recordingFrontend.h"

#include <QDialog>
#include <QString>

#include <filesystem>
#include <memory>
#include <string>

class QWidget;

namespace vellora::test {

// A session whose messages are recorded, with the default working block.
struct DialogSession {
    DialogSession();
    RecordingFrontend frontend;
    std::unique_ptr<Session> session;
};

// The control of that object name, or null.
QWidget* findControl(QWidget* dialog, const QString& name);
// Replaces the text of the line edit as typing would (textEdited is emitted).
void typeText(QWidget* dialog, const QString& editName, const QString& text);
// The text of a line edit or label.
QString textOf(QWidget* dialog, const QString& name);
// Clicks a button, check box, radio button or up/down arrow.
void click(QWidget* dialog, const QString& name);
// Chooses item `index` of a combo box as the user would (activated is emitted).
void chooseItem(QWidget* dialog, const QString& comboName, int index);
// Presses "Okay"; true when the dialog accepted (closed with Accepted).
bool pressOkay(QDialog& dialog);
// Presses Enter / Escape on the focused control.
void pressKey(QWidget* dialog, int key);
// Writes the dialog's look to `path` (PNG) for the screenshot set.
bool saveLook(QWidget* dialog, const std::filesystem::path& path);

} // namespace vellora::test
