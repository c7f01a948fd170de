// tervex-seqgen: writes the sequence file of an electrode array for the Tervex-M1 cable and
// prints its summary (quadrupoles, steps, estimated survey time). Exit status 0 when the file was
// written, 1 when it could not be, 2 for a bad option or a set in which no quadrupole fits.

#include "survey/sequencegenerator.h"
#include "tools/cli/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    CommandLine::setUp(app, QStringLiteral("tervex-seqgen"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a Tervex-M1 sequence file for an electrode array on a line of equally spaced electrodes.\n"
        "a and n are in electrode spacings; quadrupoles sharing A and B are grouped per injection."));
    parser.addHelpOption();
    parser.addVersionOption();
    const auto option = [](const char* name, const char* help, const char* value) {
        return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help), QString::fromLatin1(value));
    };
    parser.addOptions({
        option("array", "wenner, schlumberger, dipole-dipole, pole-dipole or gradient.", "array"),
        option("electrodes", "Electrodes on the line (3 to 48, default 48).", "count"),
        option("spacing", "Electrode spacing in metres (default 5).", "metres"),
        option("first", "First electrode used (default 1).", "number"),
        option("last", "Last electrode used (default: the last one).", "number"),
        option("amin", "Smallest a (default 1).", "a"),
        option("amax", "Largest a (default: as large as fits).", "a"),
        option("nmin", "Smallest n (default 1).", "n"),
        option("nmax", "Largest n (default 6).", "n"),
        option("channels", "Potential pairs per injection (default 10).", "count"),
        option("elevation", "Table of x z points; electrode heights are interpolated.", "file"),
        option("pulse", "Pulse in ms for the time estimate (default 500).", "ms"),
        option("pause", "Pause in ms for the time estimate (default 500).", "ms"),
        option("periods", "Periods per record for the time estimate (default 2).", "count"),
        option("o", "The sequence file to write.", "file"),
    });
    parser.addOption(QCommandLineOption(QStringLiteral("reciprocal"),
                                        QStringLiteral("Add each quadrupole with current and potential pairs swapped.")));
    parser.addOption(QCommandLineOption(QStringLiteral("ip-order"),
                                        QStringLiteral("Keep electrodes that just carried current out of the next steps' "
                                                       "potential pairs.")));
    if (!CommandLine::parse(parser, app))
        return CommandLine::UsageError;

    if (!parser.positionalArguments().isEmpty())
        return CommandLine::usageError(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    if (!parser.isSet(QStringLiteral("array")))
        return CommandLine::usageError(QStringLiteral("--array is required (see --help)"));
    if (!parser.isSet(QStringLiteral("o")))
        return CommandLine::usageError(QStringLiteral("-o FILE is required (see --help)"));

    SequenceGenerator::Options options;
    if (!SequenceGenerator::arrayFromKey(parser.value(QStringLiteral("array")), &options.array))
        return CommandLine::usageError(QStringLiteral("--array: unknown array '%1'").arg(parser.value(QStringLiteral("array"))));
    qint64 count = options.electrodeCount, first = options.first, last = options.last, aMin = options.aMin,
           aMax = options.aMax, nMin = options.nMin, nMax = options.nMax, channels = options.channels;
    qint64 pulse = 500, pause = 500, periods = 2;
    double spacing = options.spacing;
    const bool valid = CommandLine::intOption(parser, QStringLiteral("electrodes"), 3, Electrodes::Count, &count)
        && CommandLine::doubleOption(parser, QStringLiteral("spacing"), 0.001, 1000.0, &spacing)
        && CommandLine::intOption(parser, QStringLiteral("first"), 1, Electrodes::Count, &first)
        && CommandLine::intOption(parser, QStringLiteral("last"), 1, Electrodes::Count, &last)
        && CommandLine::intOption(parser, QStringLiteral("amin"), 1, Electrodes::Count, &aMin)
        && CommandLine::intOption(parser, QStringLiteral("amax"), 1, Electrodes::Count, &aMax)
        && CommandLine::intOption(parser, QStringLiteral("nmin"), 1, Electrodes::Count, &nMin)
        && CommandLine::intOption(parser, QStringLiteral("nmax"), 1, Electrodes::Count, &nMax)
        && CommandLine::intOption(parser, QStringLiteral("channels"), 1, 255, &channels)
        && CommandLine::intOption(parser, QStringLiteral("pulse"), 1, 100000, &pulse)
        && CommandLine::intOption(parser, QStringLiteral("pause"), 0, 100000, &pause)
        && CommandLine::intOption(parser, QStringLiteral("periods"), 1, 1000, &periods);
    if (!valid)
        return CommandLine::UsageError;
    options.electrodeCount = int(count);
    options.spacing = spacing;
    options.first = int(first);
    options.last = int(last);
    options.aMin = int(aMin);
    options.aMax = int(aMax);
    options.nMin = int(nMin);
    options.nMax = int(nMax);
    options.channels = int(channels);
    options.reciprocals = parser.isSet(QStringLiteral("reciprocal"));
    options.ipOrder = parser.isSet(QStringLiteral("ip-order"));
    if (parser.isSet(QStringLiteral("elevation"))) {
        QString error;
        if (!SequenceGenerator::readElevation(parser.value(QStringLiteral("elevation")), &options.elevation, &error))
            return CommandLine::usageError(error);
    }

    SequenceGenerator generator;
    if (!generator.generate(options))
        return CommandLine::usageError(generator.errorString());
    const QString target = parser.value(QStringLiteral("o"));
    if (!generator.write(target)) {
        CommandLine::printError(generator.errorString());
        return 1;
    }
    CommandLine::printLine(target);
    CommandLine::printLine(generator.summary(int(pulse), int(pause), int(periods)));
    return 0;
}
