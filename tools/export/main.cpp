// tervex-export --format ohm|resipy|res2dinv [--ip] [--all-repeats] [-o OUT] [filter options] FILE.etr...
// Writes the data of one survey line, from one or several data files, in a format an inversion
// program loads as it stands, less the data the filter drops (tools/cli/filteroptions.h). Exit
// status: 0 when every file was read whole and the output written, 1 when a file could not be
// opened or was read only in part, no datum could be written, or the output could not be written
// (a data file, an input or anything but a regular file is refused),
// 2 on a usage error. Messages go to standard error, the written path to standard output.

#include "etr/etrfile.h"
#include "etr/inversiondataset.h"
#include "etr/inversionwriters.h"
#include "tools/cli/commandline.h"
#include "tools/cli/etrinputs.h"
#include "tools/cli/filteroptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>


int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    CommandLine::setUp(app, QStringLiteral("tervex-export"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes survey data files as one dataset for inversion software:\n"
        "  ohm       unified data format (pyGIMLi, BERT, ResIPy \"BERT\")\n"
        "  resipy    ResIPy CSV (\"Syscal\" type, with deviation and decay windows)\n"
        "  res2dinv  Res2DInv general array (also ResIPy, pyGIMLi)\n"
        "Files of one line merge by electrode coordinates (a roll-along line becomes one line)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption format(QStringLiteral("format"), QStringLiteral("ohm, resipy or res2dinv."),
                                    QStringLiteral("format"));
    const QCommandLineOption ip(QStringLiteral("ip"), QStringLiteral("Write the chargeability too."));
    const QCommandLineOption allRepeats(QStringLiteral("all-repeats"),
                                        QStringLiteral("Write every record of a repeated quadrupole, not only "
                                                       "the one with the lowest deviation."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Output file (default: beside the first file)."),
                                    QStringLiteral("file"));
    parser.addOptions({format, ip, allRepeats, output});
    const FilterOptions filter(parser);
    parser.addPositionalArgument(QStringLiteral("FILE.etr"), QStringLiteral("Survey data files of one line."),
                                 QStringLiteral("FILE.etr..."));
    if (!CommandLine::parse(parser, app))
        return CommandLine::UsageError;

    InversionOptions options;
    options.chargeability = parser.isSet(ip);
    if (!filter.read(parser, &options.filter))
        return CommandLine::UsageError;
    if (!parser.isSet(format))
        return CommandLine::usageError(QStringLiteral("--format is required (ohm, resipy or res2dinv)"));
    if (!InversionWriters::fromName(parser.value(format), &options.format))
        return CommandLine::usageError(
            QStringLiteral("--format: '%1' is not ohm, resipy or res2dinv").arg(parser.value(format)));
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return CommandLine::usageError(QStringLiteral("no data file given"));

    EtrInputs inputs;
    const bool allOpened = inputs.load(paths);
    const QVector<const EtrFile*> loaded = inputs.files();
    const bool allRead = allOpened && inputs.allComplete();
    if (loaded.isEmpty()) {
        CommandLine::printError(QCoreApplication::translate("ExportTool", "нет данных для записи"));
        return 1;
    }

    const QString target = parser.isSet(output) ? parser.value(output)
                                                : InversionWriters::defaultPath(paths.first(), options.format);
    const InversionDataset dataset = InversionDataset::fromFiles(loaded, parser.isSet(allRepeats));
    const InversionReport report = InversionWriters::writeFile(dataset, options, target, paths);
    CommandLine::printError(report.text());
    if (!report.ok())
        return 1;
    CommandLine::printLine(target);
    return allRead ? 0 : 1;
}
