#pragma once
// The three file choosers: titles, filters, default extensions and options.
#include "shell/dispatcher.h"

#include <QStringList>

namespace vellora::app {

struct FileChooserSpec {
    const char* title;
    QStringList filters; // "description (patterns)"; the description is what is shown
    const char* defaultSuffix;
    bool save; // confirms overwriting
};

FileChooserSpec fileChooserSpec(FileChooserKind kind);

} // namespace vellora::app
