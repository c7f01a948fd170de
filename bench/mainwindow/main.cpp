// The main window while a 10-channel survey streams in from the tervex-station-sim program: CPU
// time of this process, the longest hold-up of its event loop and the redraw rate at the station's
// real pace; then, with the station ten times and as fast as it can, how long each record takes
// against the station's own time.
//
//   tervex-bench-mainwindow [steps]        (run under Xvfb so that the window really paints)
#include "tools/shots/stationsession.h"

#include "app/tervexmodel.h"
#include "station/tervexdevice.h"
#include "survey/surveydatamanager.h"
#include "ui/measurementplot.h"
#include "ui/tervexwidget.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <QEventLoop>

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

// User plus system time of this process, in milliseconds.
double processCpuMs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0.0;
    const QByteArray text = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

struct RunFigures
{
    double wallMs = 0;
    double cpuMs = 0;
    qint64 longestStallMs = 0;
    int replots = 0;
    int batches = 0;
    int records = 0;
    qint64 slowestRecordMs = 0;
    bool finished = false;
};

RunFigures runSurvey(StationSession& session, const QString& name, int steps, int timeoutMs)
{
    RunFigures f;
    TervexModel* model = session.model();
    const QString sequence = session.path(name + QStringLiteral(".txt"));
    if (!session.writeSequence(sequence, steps))
        return f;

    QElapsedTimer recordClock;
    QList<QMetaObject::Connection> links;
    links << QObject::connect(model->device(), &TervexDevice::recordStarted, [&]() { recordClock.start(); });
    links << QObject::connect(model->device(), &TervexDevice::recordCompleted, [&]() {
        f.slowestRecordMs = std::max(f.slowestRecordMs, recordClock.elapsed());
        ++f.records;
    });
    links << QObject::connect(model->device(), &TervexDevice::dataUpdated, [&]() { ++f.batches; });
    links << QObject::connect(session.window()->measurementPlot()->plot(), &QCustomPlot::afterReplot,
                              [&]() { ++f.replots; });
    links << QObject::connect(model->surveyDataManager(), &DataManager::allCompleted, [&]() { f.finished = true; });

    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    QElapsedTimer sinceTick;
    QObject::connect(&ticker, &QTimer::timeout, [&]() {
        f.longestStallMs = std::max(f.longestStallMs, sinceTick.elapsed() - 10);
        sinceTick.restart();
    });

    const double cpu0 = processCpuMs();
    QElapsedTimer wall;
    wall.start();
    sinceTick.start();
    ticker.start();
    QEventLoop loop;
    QObject::connect(model->surveyDataManager(), &DataManager::allCompleted, &loop, &QEventLoop::quit);
    QObject::connect(model->surveyDataManager(), &DataManager::aborted, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (session.startSurvey(sequence))
        loop.exec();
    ticker.stop();
    f.wallMs = double(wall.elapsed());
    f.cpuMs = processCpuMs() - cpu0;
    for (const QMetaObject::Connection& c : links)
        QObject::disconnect(c);
    return f;
}

void report(const char* title, const RunFigures& f, double stationRecordMs)
{
    std::printf("%s\n", title);
    std::printf("  finished: %s, records %d, wall %.1f s\n", f.finished ? "yes" : "NO", f.records, f.wallMs / 1000.0);
    std::printf("  program CPU: %.1f %% of one core (%.0f ms)\n", 100.0 * f.cpuMs / f.wallMs, f.cpuMs);
    std::printf("  longest event-loop stall: %lld ms\n", static_cast<long long>(f.longestStallMs));
    std::printf("  sample batches %d (%.0f /s), plot redraws %d (%.1f /s)\n", f.batches,
                1000.0 * f.batches / f.wallMs, f.replots, 1000.0 * f.replots / f.wallMs);
    if (stationRecordMs > 0)
        std::printf("  slowest record %lld ms, station streams a record in %.0f ms (ratio %.2f)\n",
                    static_cast<long long>(f.slowestRecordMs), stationRecordMs,
                    double(f.slowestRecordMs) / stationRecordMs);
}

}

int main(int argc, char* argv[])
{
    Q_INIT_RESOURCE(tervex);
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    TervexWidget::setMessageHandler([](QWidget*, QMessageBox::Icon, const QString&, const QString& text) {
        std::printf("message: %s\n", qPrintable(text));
    });
    const int steps = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    const quint32 pulse = 500, pause = 500;
    const quint16 periods = 2;
    const double recordRows = 2.0 * (pulse + pause) * periods;
    std::printf("10 channels, %d steps of 10 pairs, pulse %u ms, pause %u ms, %u periods (%.0f rows a record)\n",
                steps, pulse, pause, periods, recordRows);

    auto measure = [&](const char* speed, int timeoutMs, RunFigures* figures) {
        StationSession session(QStringLiteral(TERVEX_STATION_SIM),
                               {QStringLiteral("--channels"), QStringLiteral("10"), QStringLiteral("--speed"),
                                QString::fromLatin1(speed)});
        if (!session.ok()) {
            std::fprintf(stderr, "the simulated station did not start\n");
            return false;
        }
        session.window()->resize(1400, 900);
        session.window()->show();
        if (!session.connectStation()) {
            std::fprintf(stderr, "no connection to the simulated station\n");
            return false;
        }
        StationSession::click(session.window(), QStringLiteral("ЗАПИСЬ"));
        session.setTiming(pulse, pause, periods, 50);
        StationSession::waitFor(300);
        *figures = runSurvey(session, QStringLiteral("survey"), steps, timeoutMs);
        return true;
    };

    RunFigures real, fast, flat;
    if (!measure("1", 180000, &real) || !measure("10", 60000, &fast) || !measure("0", 60000, &flat))
        return 1;
    report("station at real pace", real, recordRows);
    report("station at 10x", fast, recordRows / 10.0);
    report("station as fast as it can", flat, 0.0);

    const bool goals = real.finished && fast.finished && real.cpuMs / real.wallMs < 0.25 && real.longestStallMs <= 50;
    std::printf("goals (below 25 %% CPU, no stall above 50 ms at real pace): %s\n", goals ? "met" : "MISSED");
    return 0;
}
