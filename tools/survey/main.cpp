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

#include <limits>
#include <memory>

namespace {

// The generator's range, as the window's generator panel offers it.
constexpr qint64 MaxVoltage = 500;

}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    CommandLine::setUp(app, QStringLiteral("tervex-survey"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs a Tervex-M1 survey without the window.\n"
        "SOURCE is a sequence file (.txt) and TARGET the new data file (.etr),\n"
        "or SOURCE is an interrupted data file (.etr) to continue."));
    parser.addHelpOption();
    parser.addVersionOption();
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
    const QCommandLineOption lineName(QStringLiteral("line"), QStringLiteral("Line name kept in the data file."),
                                      QStringLiteral("name"));
    const QCommandLineOption lineOperator(QStringLiteral("operator"), QStringLiteral("Operator kept in the data file."),
                                          QStringLiteral("name"));
    const QCommandLineOption note(QStringLiteral("note"), QStringLiteral("Note kept in the data file."),
                                  QStringLiteral("text"));
    parser.addOptions({host, commandPort, dataPort, voltage, pulse, pause, periods, quiet, maxScatter, maxRepeats,
                       lineName, lineOperator, note});
    if (!CommandLine::parse(parser, app))
        return CommandLine::UsageError;

    double scatterLimit = RepeatPolicy::DefaultMaxScatter;
    qint64 repeatLimit = RepeatPolicy::DefaultMaxRepeats;
    if (!CommandLine::doubleOption(parser, maxScatter.names().first(), 0.0, RepeatPolicy::HighestMaxScatter,
                                   &scatterLimit)
        || !CommandLine::intOption(parser, maxRepeats.names().first(), RepeatPolicy::FewestRepeats,
                                   RepeatPolicy::MostRepeats, &repeatLimit))
        return CommandLine::UsageError;

    const QStringList args = parser.positionalArguments();
    if (args.isEmpty() || args.size() > 2)
        return CommandLine::usageError(QStringLiteral("expected SOURCE [TARGET] (see --help)"));

    // Numbers are checked against the widths of the station's fields, so none is wrapped; whether
    // the timing makes a readable data file is the survey start's own check.
    qint64 commandPortValue = SettingsStore::DefaultCommandPort;
    qint64 dataPortValue = SettingsStore::DefaultDataPort;
    qint64 voltageValue = -1, pulseValue = -1, pauseValue = -1, periodsValue = -1;
    const qint64 u32Max = std::numeric_limits<quint32>::max();
    const qint64 u16Max = std::numeric_limits<quint16>::max();
    if (!CommandLine::intOption(parser, commandPort.names().first(), 1, u16Max, &commandPortValue)
        || !CommandLine::intOption(parser, dataPort.names().first(), 1, u16Max, &dataPortValue)
        || !CommandLine::intOption(parser, voltage.names().first(), 0, MaxVoltage, &voltageValue)
        || !CommandLine::intOption(parser, pulse.names().first(), 0, u32Max, &pulseValue)
        || !CommandLine::intOption(parser, pause.names().first(), 0, u32Max, &pauseValue)
        || !CommandLine::intOption(parser, periods.names().first(), 0, u16Max, &periodsValue))
        return CommandLine::UsageError;

    // The address given here is used for this run only; the program's own settings stay untouched.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    {
        std::unique_ptr<QSettings> store(SettingsStore::open());
        store->setValue(SettingsStore::Key::host(), parser.value(host).isEmpty() ? SettingsStore::defaultHost()
                                                                                  : parser.value(host));
        store->setValue(SettingsStore::Key::commandPort(), int(commandPortValue));
        store->setValue(SettingsStore::Key::dataPort(), int(dataPortValue));
    }

    TervexModel model;
    model.setRepeatPolicy(RepeatPolicy(scatterLimit, int(repeatLimit)));
    model.setLineDescription(parser.value(lineName), parser.value(lineOperator), parser.value(note));
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
        if (voltageValue >= 0)
            g->voltage = quint16(voltageValue);
        if (pulseValue >= 0)
            g->pulseLength = quint32(pulseValue);
        if (pauseValue >= 0)
            g->pauseLength = quint32(pauseValue);
        if (periodsValue >= 0)
            g->periods = quint16(periodsValue);
        clock.start();
        if (!model.startSurvey(args.at(0), args.value(1))) {
            CommandLine::printError(model.startError());
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
            CommandLine::printError(QStringLiteral("No connection to the station."));
            finish(1);
        }
    });
    QObject::connect(model.surveyDataManager(), &DataManager::completed, &app, [&]() {
        ++records;
        if (beQuiet)
            return;
        const SurveyStrategy* s = model.strategy();
        const CalculatorResult r = model.calculator()->result();
        CommandLine::printLine(QStringLiteral("record %1/%2: I = %3 mA, %4 channels")
                  .arg(s->info()->currentStep())
                  .arg(s->info()->stepCount())
                  .arg(TervexCalculator::formatValue(r.current, 1000.0f))
                  .arg(model.calculator()->channelResults().size()));
    });
    QObject::connect(model.surveyDataManager(), &DataManager::allCompleted, &app, [&]() {
        CommandLine::printLine(QStringLiteral("survey complete: %1 records in %2 s")
                  .arg(records)
                  .arg(clock.elapsed() / 1000.0, 0, 'f', 2));
        finish(0);
    });
    QObject::connect(&model, &TervexModel::surveyReported, &app,
                     [&](const QString& text, const QString& path, const QString& error) {
                         std::fputs(text.toLocal8Bit().constData(), stdout);
                         CommandLine::printLine(path.isEmpty() ? QStringLiteral("report not written: %1").arg(error)
                                              : QStringLiteral("report: %1").arg(path));
                     });
    QObject::connect(&model, &TervexModel::runFailed, &app, [&](const QString& reason) {
        CommandLine::printError(reason);
        finish(3);
    });

    if (!model.connectDevice()) {
        CommandLine::printError(QStringLiteral("No local interface on the station's subnet."));
        return 1;
    }
    app.exec();
    return exitCode;
}
