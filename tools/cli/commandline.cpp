#include "tools/cli/commandline.h"

#include "app/startup.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cmath>
#include <cstdio>

namespace {

void writeLine(FILE* stream, const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

bool rangeError(const QString& name, const QString& text, const QString& what, const QString& minimum,
                const QString& maximum)
{
    CommandLine::usageError(QStringLiteral("--%1: '%2' is not %3 from %4 to %5").arg(name, text, what, minimum, maximum));
    return false;
}

} // namespace

namespace CommandLine {

void setUp(QCoreApplication& app, const QString& toolName)
{
    QCoreApplication::setApplicationName(toolName);
    QCoreApplication::setApplicationVersion(version());
    // Messages follow the interface language; the help texts are English in both, so Qt's own
    // Russian catalogue, which would translate half of them, is left out.
    const QString language = Startup::interfaceLanguage();
    if (language == Startup::english())
        Startup::installTranslations(&app, language);
}

QString version()
{
    return QStringLiteral(TERVEX_VERSION);
}

bool parse(QCommandLineParser& parser, const QCoreApplication& app)
{
    if (!parser.parse(app.arguments())) {
        usageError(parser.errorText());
        return false;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    return true;
}

int usageError(const QString& message)
{
    writeLine(stderr, QStringLiteral("%1: %2").arg(QCoreApplication::applicationName(), message));
    return UsageError;
}

void printLine(const QString& line)
{
    writeLine(stdout, line);
}

void printError(const QString& line)
{
    writeLine(stderr, line);
}

bool intOption(const QCommandLineParser& parser, const QString& name, qint64 minimum, qint64 maximum,
               qint64* value)
{
    if (!parser.isSet(name))
        return true;
    const QString text = parser.value(name);
    bool ok = false;
    const qint64 number = text.trimmed().toLongLong(&ok);
    if (!ok || number < minimum || number > maximum)
        return rangeError(name, text, QStringLiteral("a whole number"), QString::number(minimum),
                          QString::number(maximum));
    *value = number;
    return true;
}

bool doubleOption(const QCommandLineParser& parser, const QString& name, double minimum, double maximum,
                  double* value)
{
    if (!parser.isSet(name))
        return true;
    const QString text = parser.value(name);
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number) || number < minimum || number > maximum)
        return rangeError(name, text, QStringLiteral("a number"), QString::number(minimum), QString::number(maximum));
    *value = number;
    return true;
}

} // namespace CommandLine
