// tervex-survey: runs a survey from the command line, without the window. Connects to the
// station, starts a survey along a sequence file into a data file (or continues a data file),
// prints one line per record and exits when the run ends.

#include "app/tervexmodel.h"
#include "measurement/tervexcalculator.h"
#include "station/settingsstore.h"
#include "station/tervexdevice.h"
#include "survey/surveydatamanager.h"
#include "survey/surveystrategy.h"
#include "tools/cli/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

void print(const QString& line, FILE* stream = stdout)
{
    std::fprintf(stream, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stream);
}

}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tervex-survey"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs a Tervex-M1 survey without the window.\n"
        "SOURCE is a sequence file (.txt) and TARGET the new data file (.etr),\n"
        "or SOURCE is an interrupted data file (.etr) to continue."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("SOURCE"), QStringLiteral("Sequence file or data file to continue."));
    parser.addPositionalArgument(QStringLiteral("TARGET"), QStringLiteral("New data file (not for a continuation)."));
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("Station address."), QStringLiteral("address"));
    const QCommandLineOption commandPort(QStringLiteral("command-port"), QStringLiteral("Command port."),
                                         QStringLiteral("port"));
    const QCommandLineOption dataPort(QStringLiteral("data-port"), QStringLiteral("Data port."),
                                      QStringLiteral("port"));
    const QCommandLineOption voltage(QStringLiteral("voltage"), QStringLiteral("Generator voltage, V."),
                                     QStringLiteral("volts"));
    const QCommandLineOption pulse(QStringLiteral("pulse"), QStringLiteral("Pulse, ms."), QStringLiteral("ms"));
    const QCommandLineOption pause(QStringLiteral("pause"), QStringLiteral("Pause, ms."), QStringLiteral("ms"));
    const QCommandLineOption periods(QStringLiteral("periods"), QStringLiteral("Periods per record."),
                                     QStringLiteral("count"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("Only the summary and the report."));
    const QCommandLineOption maxScatter(
        QStringLiteral("max-scatter"),
        QStringLiteral("Measure a record again while a channel scatters above this many percent (0 = never)."),
        QStringLiteral("percent"));
    const QCommandLineOption maxRepeats(QStringLiteral("max-repeats"),
                                        QStringLiteral("Extra records of one step at most (1 to 5, default 2)."),
                                        QStringLiteral("count"));
    parser.addOptions({host, commandPort, dataPort, voltage, pulse, pause, periods, quiet, maxScatter, maxRepeats});
    parser.process(app);

    double scatterLimit = RepeatPolicy::DefaultMaxScatter;
    qint64 repeatLimit = RepeatPolicy::DefaultMaxRepeats;
    if (!CommandLine::doubleOption(parser, maxScatter.names().first(), 0.0, RepeatPolicy::HighestMaxScatter,
                                   &scatterLimit)
        || !CommandLine::intOption(parser, maxRepeats.names().first(), RepeatPolicy::FewestRepeats,
                                   RepeatPolicy::MostRepeats, &repeatLimit))
        return CommandLine::UsageError;

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty() || args.size() > 2) {
        print(QStringLiteral("usage: tervex-survey [options] SOURCE [TARGET]"), stderr);
        return 2;
    }

    // The address given here is used for this run only; the program's own settings stay untouched.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    {
        std::unique_ptr<QSettings> store(SettingsStore::open());
        store->setValue(SettingsStore::Key::host(), parser.value(host).isEmpty() ? SettingsStore::defaultHost()
                                                                                  : parser.value(host));
        store->setValue(SettingsStore::Key::commandPort(),
                        parser.value(commandPort).isEmpty() ? SettingsStore::DefaultCommandPort
                                                            : parser.value(commandPort).toInt());
        store->setValue(SettingsStore::Key::dataPort(), parser.value(dataPort).isEmpty()
                                                            ? SettingsStore::DefaultDataPort
                                                            : parser.value(dataPort).toInt());
    }

    TervexModel model;
    model.setRepeatPolicy(RepeatPolicy(scatterLimit, int(repeatLimit)));
    const bool beQuiet = parser.isSet(quiet);
    int records = 0;
    int exitCode = 0;
    QElapsedTimer clock;

    auto finish = [&](int code) {
        exitCode = code;
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    };

    auto start = [&]() {
        GeneratorSettings* g = model.stationSettings()->generatorSettings();
        if (parser.isSet(voltage))
            g->voltage = quint16(parser.value(voltage).toUInt());
        if (parser.isSet(pulse))
            g->pulseLength = parser.value(pulse).toUInt();
        if (parser.isSet(pause))
            g->pauseLength = parser.value(pause).toUInt();
        if (parser.isSet(periods))
            g->periods = quint16(parser.value(periods).toUInt());
        clock.start();
        if (!model.startSurvey(args.at(0), args.value(1))) {
            print(model.startError(), stderr);
            finish(1);
        }
    };

    // The station's first properties are mirrored and its ready channels recorded.
    bool started = false;
    QObject::connect(model.device(), &TervexDevice::initialized, &app, [&]() {
        started = true;
        start();
    });
    QObject::connect(&model, &TervexModel::deviceDisconnected, &app, [&]() {
        if (!started) {
            print(QStringLiteral("No connection to the station."), stderr);
            finish(1);
        }
    });
    QObject::connect(model.surveyDataManager(), &DataManager::completed, &app, [&]() {
        ++records;
        if (beQuiet)
            return;
        const SurveyStrategy* s = model.strategy();
        const CalculatorResult r = model.calculator()->result();
        print(QStringLiteral("record %1/%2: I = %3 mA, %4 channels")
                  .arg(s->info()->currentStep())
                  .arg(s->info()->stepCount())
                  .arg(TervexCalculator::formatValue(r.current, 1000.0f))
                  .arg(model.calculator()->channelResults().size()));
    });
    QObject::connect(model.surveyDataManager(), &DataManager::allCompleted, &app, [&]() {
        print(QStringLiteral("survey complete: %1 records in %2 s")
                  .arg(records)
                  .arg(clock.elapsed() / 1000.0, 0, 'f', 2));
        finish(0);
    });
    QObject::connect(&model, &TervexModel::surveyReported, &app,
                     [&](const QString& text, const QString& path, const QString& error) {
                         std::fputs(text.toLocal8Bit().constData(), stdout);
                         print(path.isEmpty() ? QStringLiteral("report not written: %1").arg(error)
                                              : QStringLiteral("report: %1").arg(path));
                     });
    QObject::connect(&model, &TervexModel::runFailed, &app, [&](const QString& reason) {
        print(reason, stderr);
        finish(3);
    });

    if (!model.connectDevice()) {
        print(QStringLiteral("No local interface on the station's subnet."), stderr);
        return 1;
    }
    app.exec();
    return exitCode;
}
