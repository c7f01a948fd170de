// Pictures of the sequence generator: the auto-settings panel with its "Создать…" button, the
// dialog over the main window as it opens, and after a dipole-dipole choice with an impossible
// last electrode (the summary then gives the reason). The window fills the screen.
//
//   xvfb-run -a -s "-screen 0 1024x768x24" tervex-seqgenshot OUTDIR PREFIX
#include "tools/shots/picture.h"
#include "tools/shots/stationsession.h"

#include "app/startup.h"
#include "ui/autosettingswidget.h"
#include "ui/sequencegeneratordialog.h"
#include "ui/tervexwidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include <cstdio>

namespace {

bool saveScreen(const QDir& out, const QString& name)
{
    StationSession::waitFor(300);
    return savePicture(QGuiApplication::primaryScreen()->grabWindow(0), out.filePath(name));
}

}

int main(int argc, char* argv[])
{
    Q_INIT_RESOURCE(tervex);
    QApplication app(argc, argv);
    app.setStyleSheet(Startup::styleSheet());
    if (argc < 3) {
        std::fprintf(stderr, "usage: tervex-seqgenshot OUTDIR PREFIX\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString prefix = QString::fromLocal8Bit(argv[2]);

    SimulatorOptions options;
    options.speed = 0.0;
    options.channelCount = 10;
    StationSession session(options);
    if (!session.ok())
        return 1;
    TervexWidget* w = session.window();
    w->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    w->show();
    if (!session.connectStation())
        return 1;
    StationSession::click(w, QStringLiteral("ЗАПИСЬ"));
    StationSession::click(w, QStringLiteral("АВТОМАТ"));
    StationSession::click(w, QStringLiteral("Работа"));
    bool ok = saveScreen(out, prefix + QStringLiteral("-panel.png"));

    auto* panel = w->findChild<AutoSettingsWidget*>();
    panel->setGeneratorRunner([&](SequenceGeneratorDialog* dialog) {
        dialog->show();
        ok = saveScreen(out, prefix + QStringLiteral("-dialog.png")) && ok;
        dialog->arrayBox()->setCurrentIndex(dialog->arrayBox()->findData(int(SequenceGenerator::Array::DipoleDipole)));
        dialog->aMaxBox()->setValue(2);
        dialog->reciprocalBox()->setChecked(true);
        ok = saveScreen(out, prefix + QStringLiteral("-dialog-dipole.png")) && ok;
        dialog->lastBox()->setValue(3);
        ok = saveScreen(out, prefix + QStringLiteral("-dialog-refused.png")) && ok;
        return false;
    });
    if (QPushButton* generate = w->findChild<QPushButton*>(QStringLiteral("generate_button")))
        generate->click();
    return ok ? 0 : 1;
}
