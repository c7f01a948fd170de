#ifndef STARTUP_H
#define STARTUP_H

#include <QString>

class QLocale;
class QObject;
class QVariant;

// Start-up decisions that do not need a window, so they are tested without one.
namespace Startup {

// Relay mode: the first argument is exactly "relay", "RELAY" or "Relay".
bool isRelayMode(int argc, const char* const* argv);

// The application style sheet from the embedded resources, up to its first zero byte;
// empty when the resource cannot be opened (the program then keeps Qt's default look).
QString styleSheet();

// The interface languages: the program's own Russian texts and their English catalogue.
inline QString russian() { return QStringLiteral("ru"); }
inline QString english() { return QStringLiteral("en"); }

// The interface language: the `language` setting when it names one of the two, otherwise the
// system locale's. A Russian locale, and the C locale of a system with no locale set, keep the
// program's own Russian; any other locale gets English.
QString interfaceLanguage(const QVariant& setting, const QLocale& system);
// The same from the settings store and the system locale.
QString interfaceLanguage();

// Installs the program's catalogue for the language on the application, and Qt's own one so that
// file dialogs and standard buttons speak it too. Returns what could not be installed (Qt's
// catalogues are a separate package), empty when everything was.
QString installTranslations(QObject* application, const QString& language);

}

#endif
