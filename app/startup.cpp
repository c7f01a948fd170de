#include "app/startup.h"

#include "station/settingsstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QScopedPointer>
#include <QSettings>
#include <QTranslator>

#include <cstring>

// Resource initialisers live in the global namespace; calling this one by name also makes the
// linker keep the embedded catalogue.
static bool initCatalogueResource()
{
    Q_INIT_RESOURCE(tervex_i18n);
    return true;
}

namespace Startup {

bool isRelayMode(int argc, const char* const* argv)
{
    if (argc < 2 || !argv[1])
        return false;
    const char* first = argv[1];
    return std::strcmp(first, "relay") == 0 || std::strcmp(first, "RELAY") == 0 || std::strcmp(first, "Relay") == 0;
}

QString styleSheet()
{
    QFile file(QStringLiteral(":/tervex.css"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray bytes = file.readAll();
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return QString::fromLatin1(bytes);
}

QString interfaceLanguage(const QVariant& setting, const QLocale& system)
{
    const QString chosen = setting.toString();
    if (chosen == russian() || chosen == english())
        return chosen;
    const QLocale::Language language = system.language();
    return language == QLocale::Russian || language == QLocale::C ? russian() : english();
}

QString interfaceLanguage()
{
    QScopedPointer<QSettings> settings(SettingsStore::open());
    return interfaceLanguage(settings->value(SettingsStore::Key::language()), QLocale::system());
}

QString installTranslations(QObject* application, const QString& language)
{
    static const bool resourceReady = initCatalogueResource();
    Q_UNUSED(resourceReady);
    auto* translator = new QTranslator(application);
    if (language == english()) {
        // Qt's own texts are English already.
        if (translator->load(QStringLiteral(":/i18n/tervex_en.qm")) && QCoreApplication::installTranslator(translator))
            return QString();
        delete translator;
        return QStringLiteral("The English catalogue is not embedded; the interface stays in Russian");
    }
    // "qt_ru" pulls in the base, widgets and other module catalogues.
    if (translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::location(QLibraryInfo::TranslationsPath))
        && QCoreApplication::installTranslator(translator))
        return QString();
    delete translator;
    return QStringLiteral("Qt's Russian translations are not installed; standard dialogs stay in English");
}

}
