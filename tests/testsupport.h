#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QString>

namespace TestSupport {

// Points every QSettings of this process at a fresh temporary folder, so no test reads or
// writes the user's real settings. Call before anything opens a QSettings.
void isolateSettings();

// Folder of the isolated settings (valid after isolateSettings()).
QString settingsFolder();

// Path of a file or folder in the source tree's tests/data or examples/.
QString sourcePath(const QString& relative);
// Russian letters left in a text that should be English.
bool hasCyrillic(const QString& text);

}

#endif
