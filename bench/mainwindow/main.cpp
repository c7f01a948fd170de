// The main window while a 10-channel survey streams in from the tervex-station-sim program: CPU
// time of this process, the longest hold-up of its event loop and the redraw rate at the station's
// real pace; then, with the station ten times and as fast as it can, how long each record takes
// against the station's own time. Last, a dipole-dipole survey of the demo ground with the model
// page open, at the station's real pace and as fast as it can: the longest hold-up and the time
// from a record's storage to the model that includes it.
//
//   tervex-bench-mainwindow [steps]        (run under Xvfb so that the window really paints)
//   tervex-bench-mainwindow model          (the model page's survey alone)
#include "tools/shots/stationsession.h"

#include "app/livemodel.h"
#include "app/tervexmodel.h"
#include "station/tervexdevice.h"
#include "survey/surveydatamanager.h"
#include "ui/livemodelpage.h"
#include "ui/measurementplot.h"
#include "ui/modelsectionplot.h"
#include "ui/modelview.h"
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

// How late a 10 ms timer fires while it runs: the event loop's hold-ups, the longest kept in
// the figure it is pointed at.
class StallClock
{
public:
    explicit StallClock(qint64* longest)
        : m_longest(longest)
    {
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(Tick);
        QObject::connect(&m_ticker, &QTimer::timeout,
                         [this]() { *m_longest = std::max(*m_longest, m_sinceTick.restart() - Tick); });
        m_sinceTick.start();
        m_ticker.start();
    }
    void keepIn(qint64* longest) { m_longest = longest; }
    void stop() { m_ticker.stop(); }

private:
    static constexpr qint64 Tick = 10;
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64* m_longest;
};

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


    const double cpu0 = processCpuMs();
    QElapsedTimer wall;
    wall.start();
    StallClock stalls(&f.longestStallMs);
    QEventLoop loop;
    QObject::connect(model->surveyDataManager(), &DataManager::allCompleted, &loop, &QEventLoop::quit);
    QObject::connect(model->surveyDataManager(), &DataManager::aborted, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (session.startSurvey(sequence))
        loop.exec();
    stalls.stop();
    f.wallMs = double(wall.elapsed());
    f.cpuMs = processCpuMs() - cpu0;
    for (const QMetaObject::Connection& c : links)
        QObject::disconnect(c);
    return f;
}

struct ModelFigures
{
    double wallMs = 0;
    qint64 longestStallMs = 0;
    // After the last record: the final model, its files and the report.
    qint64 endStallMs = 0;
    int records = 0;
    int models = 0;
    int quadrupoles = 0;
    // From a record's storage to the first model made with it, per record.
    QVector<qint64> latencies;
    // From the survey's end to its final model.
    qint64 finalMs = -1;
    // Showing the final model on the page: the section drawn anew.
    double redrawMs = 0;
    QString fit;
    bool finished = false;
};

ModelFigures runModelSurvey(StationSession& session, const QString& sequence, int timeoutMs)
{
    ModelFigures f;
    TervexModel* model = session.model();
    LiveModel* live = model->liveModel();
    QElapsedTimer wall;
    QVector<qint64> waiting;
    qint64 endedAt = -1;
    QList<QMetaObject::Connection> links;
    links << QObject::connect(model->surveyDataManager(), &SurveyDataManager::recordDataAdded, [&]() {
        ++f.records;
        waiting << wall.elapsed();
    });
    // Every stored record restarts the run, so a model that arrives holds every record stored.
    links << QObject::connect(live, &LiveModel::modelChanged, [&]() {
        if (!live->model().ok())
            return;
        ++f.models;
        for (qint64 t : waiting)
            f.latencies << wall.elapsed() - t;
        waiting.clear();
    });
    links << QObject::connect(model->surveyDataManager(), &DataManager::allCompleted, [&]() {
        f.finished = true;
        endedAt = wall.elapsed();
    });

    QEventLoop loop;
    links << QObject::connect(live, &LiveModel::stateChanged, [&]() {
        if (live->state() == LiveModel::State::Final)
            loop.quit();
    });
    QObject::connect(model->surveyDataManager(), &DataManager::aborted, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    wall.start();
    StallClock stalls(&f.longestStallMs);
    links << QObject::connect(model->surveyDataManager(), &DataManager::allCompleted,
                              [&]() { stalls.keepIn(&f.endStallMs); });
    if (session.startSurvey(sequence))
        loop.exec();
    stalls.stop();
    f.wallMs = double(wall.elapsed());
    if (live->state() == LiveModel::State::Final && endedAt >= 0)
        f.finalMs = wall.elapsed() - endedAt;
    f.quadrupoles = live->modelQuadrupoles();
    if (live->model().ok())
        f.fit = QStringLiteral("chi2 %1, rms %2 %, %3 iterations")
                    .arg(live->model().chi2(), 0, 'f', 2)
                    .arg(live->model().rms(), 0, 'f', 1)
                    .arg(live->model().iterations.size() - 1);
    for (const QMetaObject::Connection& c : links)
        QObject::disconnect(c);
    if (live->model().ok()) {
        ModelView* view = session.window()->findChild<LiveModelPage*>()->view();
        QElapsedTimer redraw;
        redraw.start();
        view->setModel(live->model(), live->modelElectrodes(), live->leftOutCount());
        view->plot()->replot(QCustomPlot::rpImmediateRefresh);
        f.redrawMs = redraw.nsecsElapsed() / 1e6;
    }
    return f;
}

void reportModel(const char* title, ModelFigures f)
{
    std::printf("%s\n", title);
    std::printf("  finished: %s, records %d, wall %.1f s, models shown %d\n", f.finished ? "yes" : "NO", f.records,
                f.wallMs / 1000.0, f.models);
    std::printf("  longest event-loop stall: %lld ms during the survey, %lld ms after it\n",
                static_cast<long long>(f.longestStallMs), static_cast<long long>(f.endStallMs));
    std::sort(f.latencies.begin(), f.latencies.end());
    if (!f.latencies.isEmpty())
        std::printf("  record stored -> model with it: median %.2f s, 90th percentile %.2f s, slowest %.2f s\n",
                    f.latencies.at(f.latencies.size() / 2) / 1000.0,
                    f.latencies.at(f.latencies.size() * 9 / 10) / 1000.0, f.latencies.last() / 1000.0);
    std::printf("  survey end -> final model of %d quadrupoles: %.2f s (%s)\n", f.quadrupoles, f.finalMs / 1000.0,
                qPrintable(f.fit));
    std::printf("  the model page shows a model in %.1f ms\n", f.redrawMs);
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
    const bool modelOnly = argc > 1 && qstrcmp(argv[1], "model") == 0;
    const int steps = argc > 1 && !modelOnly ? std::max(1, atoi(argv[1])) : 3;

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
    if (!modelOnly) {
        if (!measure("1", 180000, &real) || !measure("10", 60000, &fast) || !measure("0", 60000, &flat))
            return 1;
        report("station at real pace", real, recordRows);
        report("station at 10x", fast, recordRows / 10.0);
        report("station as fast as it can", flat, 0.0);
        const bool goals =
            real.finished && fast.finished && real.cpuMs / real.wallMs < 0.25 && real.longestStallMs <= 50;
        std::printf("goals (below 25 %% CPU, no stall above 50 ms at real pace): %s\n", goals ? "met" : "MISSED");
    }

    // The demo line: its dipole-dipole sequence on the slope, the ground of two blocks under it.
    auto measureModel = [&](const char* speed, quint32 modelPulse, int timeoutMs, ModelFigures* figures) {
        StationSession session(QStringLiteral(TERVEX_STATION_SIM),
                               StationSession::demoLineArguments(QString::fromLatin1(speed)));
        if (session.ok()) {
            session.window()->resize(1400, 900);
            session.window()->show();
        }
        const QString sequence = session.ok() && session.connectStation() ? session.copyDemoSequence() : QString();
        if (sequence.isEmpty()) {
            std::fprintf(stderr, "no simulated station with the demo ground\n");
            return false;
        }
        StationSession::click(session.window(), QStringLiteral("ЗАПИСЬ"));
        StationSession::click(session.window(), QStringLiteral("РАЗРЕЗ"));
        StationSession::click(session.window(), QStringLiteral("МОДЕЛЬ"));
        session.setTiming(modelPulse, modelPulse, 1, 50);
        StationSession::waitFor(300);
        *figures = runModelSurvey(session, sequence, timeoutMs);
        return true;
    };
    ModelFigures paced, rushed;
    if (!measureModel("1", 250, 900000, &paced) || !measureModel("0", 250, 300000, &rushed))
        return 1;
    reportModel("demo line, model page open, station at real pace (pulse and pause 250 ms, 1 period)", paced);
    reportModel("demo line, model page open, station as fast as it can", rushed);

    const bool modelGoals = paced.finished && rushed.finished && paced.longestStallMs < 20 && rushed.longestStallMs < 20
        && !paced.latencies.isEmpty() && paced.latencies.last() < 3000;
    std::printf("model goals (no stall of 20 ms with the model page open, a record in the model within 3 s at real "
                "pace): %s\n", modelGoals ? "met" : "MISSED");
    return 0;
}
