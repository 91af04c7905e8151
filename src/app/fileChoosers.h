#pragma once
// The file choosers: titles, filters, default extensions and options.
#include "shell/dispatcher.h"

#include <QStringList>

namespace vellora::app {

struct FileChooserSpec {
    const char* title;
    QStringList filters; // "description (patterns)"; the description is what is shown
    const char* defaultSuffix;
    bool save; // confirms overwriting
    // Per filter, the suffix a name without one gets once that filter is chosen.
    QStringList filterSuffixes = {};
};

FileChooserSpec fileChooserSpec(FileChooserKind kind);

} // namespace vellora::app
