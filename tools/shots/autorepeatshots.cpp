// Pictures of the survey panel and the automatic repeats: the auto-settings panel with the scatter
// limit and repeat count, the record page while a record spoilt by a noise burst is measured
// again, then the panel with the contact check on and the box of the check that found a bad
// electrode.
//
//   tervex-autorepeat-shots OUTDIR WIDTH HEIGHT [en]   (run under Xvfb)

#include "tools/shots/picture.h"
#include "tools/shots/stationsession.h"

#include "app/startup.h"
#include "app/tervexmodel.h"
#include "survey/datamanager.h"
#include "survey/surveydatamanager.h"
#include "ui/autosettingswidget.h"
#include "ui/contactcheckdialog.h"
#include "ui/tervexwidget.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

namespace {

bool save(QWidget* window, const QDir& out, const QString& name)
{
    QApplication::processEvents();
    return savePicture(window->grab(), out.filePath(name));
}

}

int main(int argc, char* argv[])
{
    Q_INIT_RESOURCE(tervex);
    QApplication app(argc, argv);
    app.setStyleSheet(Startup::styleSheet());
    if (argc < 4) {
        std::fprintf(stderr, "usage: tervex-autorepeat-shots OUTDIR WIDTH HEIGHT\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    QString size = QStringLiteral("%1x%2").arg(width).arg(height);
    if (app.arguments().mid(4).contains(QStringLiteral("en"))) {
        Startup::installTranslations(&app, Startup::english());
        size += QStringLiteral("-en");
    }
    TervexWidget::setMessageHandler([](QWidget*, QMessageBox::Icon, const QString& title, const QString& text) {
        std::printf("box %s: %s\n", qPrintable(title), qPrintable(text));
    });

    SimulatorOptions options;
    options.speed = 1.0;
    options.channelCount = 10;
    options.notReadyChannels = {7};
    options.noise = 0.0;
    options.driftPerSecond = 0.0;
    options.noisyRecords = {2};
    options.burstNoise = 0.2;
    options.contactOverrides.insert(12, 25000.0);
    StationSession session(options);
    if (!session.ok())
        return 1;
    TervexWidget* w = session.window();
    w->resize(width, height);
    w->move(0, 0);
    w->show();
    if (!session.connectStation())
        return 1;

    StationSession::click(w, QStringLiteral("ЗАПИСЬ"));
    session.setTiming(300, 300, 3, 50);
    session.model()->setRepeatPolicy(RepeatPolicy(5.0, 2));
    const QString sequence = session.path(QStringLiteral("profile.txt"));
    session.writeSequence(sequence, 3);

    StationSession::click(w, QStringLiteral("Работа"));
    auto* panel = w->findChild<AutoSettingsWidget*>();
    if (!panel)
        return 1;
    panel->setSequence(sequence);
    StationSession::waitFor(200);
    save(w, out, QStringLiteral("autorepeat-panel-%1.png").arg(size));

    bool repeating = false;
    QObject::connect(session.model(), &TervexModel::runRepeating,
                     [&repeating](const QString& reason) { repeating = repeating || !reason.isEmpty(); });
    if (QPushButton* execute = StationSession::button(panel, QStringLiteral("Выполнить")))
        execute->click();
    for (int waited = 0; waited < 30000 && !repeating; waited += 20)
        StationSession::waitFor(20);
    StationSession::waitFor(1500);
    save(w, out, QStringLiteral("autorepeat-record-%1.png").arg(size));
    StationSession::click(w, QStringLiteral("Стоп"));
    StationSession::waitFor(300);
    if (!repeating)
        return 1;

    // The contact check: the panel with its option, then the box over the window.
    session.model()->setContactCheck(true, 5.0);
    session.model()->setLineDescription(QString(), QString(), QString());
    StationSession::click(w, QStringLiteral("Работа"));
    panel->setSequence(sequence);
    StationSession::waitFor(200);
    save(w, out, QStringLiteral("survey-contacts-panel-%1.png").arg(size));
    bool asked = false;
    WindowPrompts::setContactCheckHandler([&](QWidget* parent, const ContactGate& gate,
                                              const QVector<TestPlanEntry>& plan, const QVector<TestResult>& results) {
        ContactCheckDialog dialog(gate, plan, results, parent);
        dialog.show();
        StationSession::waitFor(300);
        // The window behind the box, as the operator sees it.
        QPixmap shot = w->grab();
        QPainter painter(&shot);
        painter.fillRect(shot.rect(), QColor(0, 0, 0, 60));
        const QPoint at = dialog.geometry().topLeft() - w->geometry().topLeft();
        painter.drawPixmap(QRect(at, dialog.frameGeometry().size().boundedTo(dialog.size())), dialog.grab());
        painter.end();
        savePicture(shot, out.filePath(QStringLiteral("survey-contacts-box-%1.png").arg(size)));
        asked = true;
        return ContactGate::Choice::Cancel;
    });
    session.setSpeed(0.0);
    if (QPushButton* execute = StationSession::button(panel, QStringLiteral("Выполнить")))
        execute->click();
    for (int waited = 0; waited < 60000 && !asked; waited += 20)
        StationSession::waitFor(20);
    StationSession::waitFor(300);
    return asked ? 0 : 1;
}
