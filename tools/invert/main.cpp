// tervex-invert [--lambda L] [--error-floor PERCENT] [--robust] [--ip] [--max-iterations N]
//               [--depth D] [filter options] -o OUT.csv|OUT.vtk|OUT.png|OUT.pdf FILE.etr...
// Inverts the data of one survey line, from one or several data files merged by electrode
// coordinates, for a resistivity (and with --ip a chargeability) section. Prints one line per
// iteration, then "chi2 = V", "rms = V %" and "data = N". Exit status: 0 when the model was
// written, 1 when the files could not be read, the data cannot be inverted or the output not
// written (a data file, an input or anything but a regular file is refused), with the reason on
// standard error; 2 on a usage error. The data filter (tools/cli/filteroptions.h) drops bad data
// first; errors come from the reciprocal error model where there is one.

#include "inversion/inversiondata.h"
#include "inversion/modelwriters.h"
#include "inversion/resistivityinversion.h"
#include "survey/outputfile.h"
#include "tools/cli/commandline.h"
#include "tools/cli/etrinputs.h"
#include "tools/cli/filteroptions.h"
#include "ui/modelsectionplot.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <numeric>

int main(int argc, char* argv[])
{
    // The picture formats need the widgets, never a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CommandLine::setUp(app, QStringLiteral("tervex-invert"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Inverts the data of one survey line for a 2-D resistivity section (2.5-D finite elements,\n"
        "smoothness-constrained Gauss-Newton). Files of one line merge by electrode coordinates.\n"
        "Output by suffix: .csv (cell centres), .vtk (ParaView), .png or .pdf (picture)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption lambda(QStringLiteral("lambda"), QStringLiteral("Starting regularisation strength (default: from the data)."),
                                    QStringLiteral("L"));
    const QCommandLineOption floor(QStringLiteral("error-floor"), QStringLiteral("Smallest datum error, percent (default 2)."),
                                   QStringLiteral("PERCENT"));
    const QCommandLineOption robust(QStringLiteral("robust"), QStringLiteral("Reweighted misfit for data with outliers."));
    const QCommandLineOption ip(QStringLiteral("ip"), QStringLiteral("Also the chargeability section."));
    const QCommandLineOption iterations(QStringLiteral("max-iterations"), QStringLiteral("At most N iterations (default 10)."),
                                        QStringLiteral("N"));
    const QCommandLineOption depth(QStringLiteral("depth"), QStringLiteral("Depth of the model, m (default: from the data)."),
                                   QStringLiteral("D"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Output file: .csv, .vtk, .png or .pdf."), QStringLiteral("file"));
    parser.addOptions({lambda, floor, robust, ip, iterations, depth, output});
    const FilterOptions filterOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE.etr"), QStringLiteral("Survey data files of one line."),
                                 QStringLiteral("FILE.etr..."));
    if (!CommandLine::parse(parser, app))
        return CommandLine::UsageError;

    InversionSettings settings;
    settings.robust = parser.isSet(robust);
    settings.chargeability = parser.isSet(ip);
    qint64 maxIterations = settings.maxIterations;
    if (!CommandLine::doubleOption(parser, QStringLiteral("lambda"), 0.0, 1e12, &settings.lambda)
        || !CommandLine::doubleOption(parser, QStringLiteral("error-floor"), 0.01, 100.0, &settings.errorFloor)
        || !CommandLine::intOption(parser, QStringLiteral("max-iterations"), 0, 100, &maxIterations)
        || !CommandLine::doubleOption(parser, QStringLiteral("depth"), 0.0, 1e5, &settings.depth))
        return CommandLine::UsageError;
    settings.maxIterations = int(maxIterations);
    DataFilter filter;
    if (!filterOptions.read(parser, &filter))
        return CommandLine::UsageError;
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return CommandLine::usageError(QStringLiteral("no data file given"));
    if (!parser.isSet(output))
        return CommandLine::usageError(QStringLiteral("-o is required"));
    const QString target = parser.value(output);
    const QString suffix = QFileInfo(target).suffix().toLower();
    if (suffix != QLatin1String("csv") && suffix != QLatin1String("vtk") && suffix != QLatin1String("png")
        && suffix != QLatin1String("pdf"))
        return CommandLine::usageError(QStringLiteral("-o: '%1' is not a .csv, .vtk, .png or .pdf file").arg(target));
    QString refusal;
    if (!OutputFile::mayWrite(target, paths, &refusal)) {
        CommandLine::printError(refusal);
        return 1;
    }

    EtrInputs inputs;
    if (!inputs.load(paths))
        return 1;
    // The filter's rules keep bad data out; a model fitted to the reciprocals weighs each datum,
    // otherwise the inversion combines each record's deviation with --error-floor.
    const InversionData data = InversionData::fromFiles(inputs.files(), filter);
    for (const QString& note : data.notes)
        CommandLine::printError(note);
    CommandLine::printError(data.errors);
    const InversionResult result = ResistivityInversion::run(
        data.input, settings, nullptr, [](const InversionIteration& i) {
            CommandLine::printLine(QStringLiteral("iteration %1: chi2 = %2, rms = %3 %, lambda = %4")
                                       .arg(i.number)
                                       .arg(i.chi2, 0, 'f', 3)
                                       .arg(i.rms, 0, 'f', 2)
                                       .arg(i.lambda, 0, 'g', 4));
        });
    const QMap<QString, int> leftOut = data.leftOutWith(result);
    for (auto it = leftOut.cbegin(); it != leftOut.cend(); ++it)
        CommandLine::printError(QStringLiteral("%1: %2").arg(it.key()).arg(it.value()));
    if (!result.ok()) {
        CommandLine::printError(result.error);
        return 1;
    }

    QString error;
    bool written = false;
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("vtk")) {
        written = ModelWriters::writeFile(target, suffix == QLatin1String("csv") ? ModelWriters::csv(result)
                                                                                : ModelWriters::vtk(result), &error);
    } else {
        written = ModelSectionPlot::writePicture(result, target);
        if (!written)
            error = QStringLiteral("cannot write the picture");
    }
    if (!written) {
        CommandLine::printError(QStringLiteral("%1: %2").arg(target, error));
        return 1;
    }
    if (result.hasChargeability)
        CommandLine::printLine(QStringLiteral("chi2 (ip) = %1").arg(result.chargeabilityChi2, 0, 'f', 3));
    CommandLine::printLine(QStringLiteral("chi2 = %1").arg(result.chi2(), 0, 'f', 3));
    CommandLine::printLine(QStringLiteral("rms = %1 %").arg(result.rms(), 0, 'f', 2));
    CommandLine::printLine(QStringLiteral("data = %1 used, %2 left out").arg(result.used).arg(
        std::accumulate(leftOut.cbegin(), leftOut.cend(), 0)));
    return 0;
}
