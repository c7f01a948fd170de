#ifndef STARTUP_H
#define STARTUP_H

#include <QString>

class QObject;

// Start-up decisions that do not need a window, so they are tested without one.
namespace Startup {

// Relay mode: the first argument is exactly "relay", "RELAY" or "Relay".
bool isRelayMode(int argc, const char* const* argv);

// The application style sheet from the embedded resources, up to its first zero byte;
// empty when the resource cannot be opened (the program then keeps Qt's default look).
QString styleSheet();

// Installs Qt's own Russian translations on the application, so that file dialogs and standard
// buttons speak the program's language; false when they are not installed on this computer.
bool installQtTranslations(QObject* application);

}

#endif
