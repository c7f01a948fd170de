// tervex-etr2txt [--polar] FILE.etr...
// tervex-etr2txt --info FILE.etr...
// Converts survey data files into the text tables the viewer's "Обработать" writes, beside each
// file, or prints the line's description kept in each file's header. Exit status: 0 when every file was read whole and converted, 1 when a file could not be
// opened, was read only in part or with doubtful electrodes, or its table could not be written,
// 2 on a usage error.

#include "etr/etrfile.h"
#include "tools/cli/commandline.h"
#include "tools/cli/etrinputs.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

namespace {

// A message of two lines, the problem and its consequence, reads better as one next to the
// others of a batch.
QString oneLine(const QString& text)
{
    return QString(text).replace(QLatin1Char('\n'), QStringLiteral(". "));
}

bool convert(const QString& path, bool withPolarisation)
{
    EtrFile file;
    if (!EtrInputs::open(path, &file))
        return false;

    bool polarisation = withPolarisation;
    if (polarisation && file.polarisationInvalid()) {
        CommandLine::printError(QCoreApplication::translate("Etr2txtTool", "%1: Преобразование etr в txt: %2")
                              .arg(path, oneLine(QCoreApplication::translate("Etr2txtTool", "Некорректное значение поляризации\n"
                                                                "Будет выполнено преобразование без поляризации"))));
        polarisation = false;
    }
    const QString target = file.textPath(polarisation);
    if (!file.exportText(polarisation)) {
        CommandLine::printError(QCoreApplication::translate("Etr2txtTool", "%1: не удалось записать файл %2").arg(path, target));
        return false;
    }
    CommandLine::printLine(target);
    return file.isComplete() && file.isReliable();
}

// The description's key=value lines; a header area of another program is printed as it stands,
// marked so that nobody takes it for ours.
bool printInfo(const QString& path)
{
    EtrFile file;
    if (!EtrInputs::open(path, &file))
        return false;
    const LineMetadata metadata = file.metadata();
    switch (metadata.state()) {
    case LineMetadata::State::None:
        CommandLine::printLine(QCoreApplication::translate("Etr2txtTool", "%1: описания линии нет").arg(path));
        break;
    case LineMetadata::State::Foreign:
        CommandLine::printLine(QCoreApplication::translate("Etr2txtTool", "%1: свободная область заголовка не "
                                                                          "содержит описания линии:").arg(path));
        CommandLine::printLine(metadata.text());
        break;
    case LineMetadata::State::Valid:
        CommandLine::printLine(path);
        CommandLine::printLine(metadata.text());
        break;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    CommandLine::setUp(app, QStringLiteral("tervex-etr2txt"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Converts survey data files (.etr) into text tables beside each file.\n"
        "Exit status: 0 when every file was converted whole, 1 when a file could not be read whole\n"
        "or reliably or its table not written, 2 on a usage error."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Survey data files."),
                                 QStringLiteral("FILE.etr..."));
    const QCommandLineOption polar(QStringLiteral("polar"), QStringLiteral("Add the chargeability columns."));
    parser.addOption(polar);
    const QCommandLineOption info(QStringLiteral("info"),
                                  QStringLiteral("Print the line's description kept in each file instead."));
    parser.addOption(info);
    if (!CommandLine::parse(parser, app))
        return CommandLine::UsageError;

    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        CommandLine::printError(QStringLiteral("usage: tervex-etr2txt [--polar | --info] FILE.etr... (see --help)"));
        return CommandLine::UsageError;
    }

    bool allConverted = true;
    for (const QString& path : files) {
        const bool done = parser.isSet(info) ? printInfo(path) : convert(path, parser.isSet(polar));
        allConverted = done && allConverted;
    }
    return allConverted ? 0 : 1;
}
