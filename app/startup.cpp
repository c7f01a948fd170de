#include "app/startup.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>

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

bool installQtTranslations(QObject* application)
{
    auto* translator = new QTranslator(application);
    // "qt_ru" pulls in the base, widgets and other module catalogues.
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

}
