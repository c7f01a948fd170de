// Pictures of the main window against the simulated station at its real pace: the connect page,
// the station and settings pages, a survey record streaming in, the table after a record and the
// bar chart of a contact test; then a dipole-dipole profile over the two-layer earth on the
// pseudosection page, at two window sizes, and its data file for the viewer's pictures. With
// "model": the model page during and after a survey of the demo line (the simulated station
// playing the demo ground of examples/ under its slope), at both window sizes.
//
//   tervex-mainwindow-shots OUTDIR [small] [en]     (run under Xvfb: xvfb-run -a -s "-screen 0 1400x900x24")
//   tervex-mainwindow-shots OUTDIR model [en]
#include "tools/shots/picture.h"
#include "tools/shots/stationsession.h"

#include "app/livemodel.h"
#include "app/startup.h"
#include "app/tervexmodel.h"
#include "station/tervexdevice.h"
#include "survey/surveydatamanager.h"
#include "survey/testdatamanager.h"
#include "ui/autosettingswidget.h"
#include "ui/testrecordpanel.h"
#include "ui/tervexwidget.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

// "-1024" for the small field-laptop screen, nothing for the default size; "-en" for English.
QString sizeSuffix;

bool save(QWidget* window, const QDir& out, const QString& name)
{
    QApplication::processEvents();
    QString file = name;
    file.insert(file.lastIndexOf(QLatin1Char('.')), sizeSuffix);
    return savePicture(window->grab(), out.filePath(file));
}

template <typename Condition>
bool waitUntil(Condition condition, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs && !condition(); waited += 20)
        StationSession::waitFor(20);
    return condition();
}

void saveBothSizes(TervexWidget* w, const QDir& out, const QString& name)
{
    w->resize(1400, 900);
    StationSession::waitFor(300);
    save(w, out, name + QStringLiteral("-1400x900.png"));
    w->resize(1024, 768);
    StationSession::waitFor(300);
    save(w, out, name + QStringLiteral("-1024x768.png"));
    w->resize(1400, 900);
}

// The demo line at the station's real pace with short records: the model page half way through
// the survey and after its final model.
int demoModelShots(const QDir& out)
{
    StationSession session(QStringLiteral(TERVEX_STATION_SIM), StationSession::demoLineArguments(QStringLiteral("4")));
    if (!session.ok())
        return 1;
    TervexWidget* w = session.window();
    w->resize(1400, 900);
    w->move(0, 0);
    w->show();
    if (!session.connectStation())
        return 1;
    StationSession::click(w, QStringLiteral("ЗАПИСЬ"));
    session.setTiming(250, 250, 1, 50);
    const QString sequence = session.copyDemoSequence();
    if (sequence.isEmpty())
        return 1;
    int records = 0;
    QObject::connect(session.model()->surveyDataManager(), &DataManager::completed, [&records]() { ++records; });
    if (!session.startSurvey(sequence))
        return 1;
    StationSession::click(w, QStringLiteral("РАЗРЕЗ"));
    StationSession::click(w, QStringLiteral("МОДЕЛЬ"));
    LiveModel* live = session.model()->liveModel();
    // Half of the line's 87 records, and a model made of them.
    waitUntil([&records]() { return records >= 44; }, 300000);
    const int shown = live->modelQuadrupoles();
    waitUntil([live, shown]() { return live->modelQuadrupoles() > shown; }, 30000);
    saveBothSizes(w, out, QStringLiteral("model-live-during"));
    waitUntil([live]() { return live->state() == LiveModel::State::Final; }, 300000);
    saveBothSizes(w, out, QStringLiteral("model-live"));
    return live->model().ok() ? 0 : 1;
}

}

int main(int argc, char* argv[])
{
    Q_INIT_RESOURCE(tervex);
    QApplication app(argc, argv);
    app.setStyleSheet(Startup::styleSheet());
    if (argc < 2) {
        std::fprintf(stderr, "usage: tervex-mainwindow-shots OUTDIR [small] [en]\n");
        return 2;
    }
    const QStringList extras = app.arguments().mid(2);
    // "small": a 1024x768 field laptop, whose window manager leaves about 700 px for the window.
    const bool small = extras.contains(QStringLiteral("small"));
    if (small)
        sizeSuffix = QStringLiteral("-1024");
    if (extras.contains(QStringLiteral("en"))) {
        Startup::installTranslations(&app, Startup::english());
        sizeSuffix += QStringLiteral("-en");
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    TervexWidget::setMessageHandler([](QWidget*, QMessageBox::Icon, const QString& title, const QString& text) {
        std::printf("box %s: %s\n", qPrintable(title), qPrintable(text));
    });
    TervexWidget::setQuestionHandler([](QWidget*, const QString& title, const QString& text) {
        std::printf("question %s: %s\n", qPrintable(title), qPrintable(text));
        return true;
    });
    if (extras.contains(QStringLiteral("model")))
        return demoModelShots(out);

    SimulatorOptions options;
    options.speed = 1.0;
    options.channelCount = 10;
    options.notReadyChannels = {7};
    options.contactOverrides.insert(12, 25000.0);
    options.contactOverrides.insert(30, 120000.0);
    options.contactOverrides.insert(31, 4500.0);
    // A conductive cover over a resistive basement: two colour bands in the pseudosection.
    options.earth = EarthModel(40.0, 6.0, 400.0);
    StationSession session(options);
    if (!session.ok())
        return 1;
    TervexWidget* w = session.window();
    if (small)
        w->resize(1024, 700);
    else
        w->resize(1400, 900);
    w->move(0, 0);
    w->show();
    StationSession::waitFor(300);
    save(w, out, QStringLiteral("main-connect.png"));

    if (!session.connectStation())
        return 1;
    session.model()->device()->requestStatus();
    StationSession::waitFor(800);
    save(w, out, QStringLiteral("main-station.png"));
    // The settings dialog runs its own loop: pictured and closed from inside it.
    QTimer::singleShot(300, [&out]() {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            save(dialog, out, QStringLiteral("main-setup.png"));
            dialog->reject();
        }
    });
    StationSession::click(w, QStringLiteral("Параметры"));

    StationSession::click(w, QStringLiteral("НАСТРОЙКА"));
    StationSession::waitFor(200);
    save(w, out, QStringLiteral("main-settings.png"));

    StationSession::click(w, QStringLiteral("ЗАПИСЬ"));
    session.setTiming(500, 500, 3, 50);
    const QString sequence = session.path(QStringLiteral("profile.txt"));
    session.writeSequence(sequence, 3);
    int records = 0;
    QObject::connect(session.model()->surveyDataManager(), &DataManager::completed, [&records]() { ++records; });
    if (!session.startSurvey(sequence))
        return 1;
    StationSession::waitFor(4500);
    save(w, out, QStringLiteral("main-record.png"));

    waitUntil([&records]() { return records >= 1; }, 15000);
    StationSession::waitFor(100);
    StationSession::click(w, QStringLiteral("ТАБЛИЦА"));
    StationSession::waitFor(200);
    save(w, out, QStringLiteral("main-table.png"));
    StationSession::click(w, QStringLiteral("Стоп"));
    StationSession::click(w, QStringLiteral("ГРАФИК"));

    // The contact test measures 47 positions: let the station hurry.
    session.setSpeed(0.0);
    StationSession::click(w, QStringLiteral("ТЕСТ"));
    bool tested = false;
    QObject::connect(session.model()->testDataManager(), &DataManager::allCompleted, [&tested]() { tested = true; });
    auto* panel = w->findChild<TestRecordPanel*>();
    if (QPushButton* execute = StationSession::button(panel, QStringLiteral("Выполнить")))
        execute->click();
    waitUntil([&tested]() { return tested; }, 60000);
    StationSession::waitFor(200);
    save(w, out, QStringLiteral("main-test.png"));

    StationSession::click(w, QStringLiteral("АВТОМАТ"));
    session.setTiming(200, 200, 1, 50);
    const QString profile = session.path(QStringLiteral("dipole-dipole.txt"));
    session.writeDipoleDipoleSequence(profile, 8);
    bool surveyed = false;
    QObject::connect(session.model()->surveyDataManager(), &DataManager::allCompleted,
                     [&surveyed]() { surveyed = true; });
    if (!session.startSurvey(profile))
        return 1;
    StationSession::click(w, QStringLiteral("РАЗРЕЗ"));
    waitUntil([&surveyed]() { return surveyed; }, 120000);
    StationSession::waitFor(300);
    save(w, out, QStringLiteral("pseudosection-live-1400x900.png"));
    w->resize(1024, 768);
    StationSession::waitFor(300);
    save(w, out, QStringLiteral("pseudosection-live-1024x768.png"));
    // The survey's data file, for the viewer's pictures of the same profile.
    const QString data = session.window()->findChild<AutoSettingsWidget*>()->targetPath();
    QFile::remove(out.filePath(QStringLiteral("pseudosection-profile.etr")));
    QFile::copy(data, out.filePath(QStringLiteral("pseudosection-profile.etr")));
    return 0;
}
