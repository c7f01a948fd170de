// Opens a survey data file in the viewer and saves pictures of it: the whole window, the window
// with the current hidden, a zoom on the first pulse and its decay, and the file's pseudosection
// with the selected channel marked.
//
//   tervex-viewershot [--file FILE.etr] [--size WIDTHxHEIGHT] [--prefix NAME] [--export] [--errors] [--model] [--english] OUTDIR
//
// --export adds a picture of the export dialog after it wrote the file (into a temporary folder).
// --errors takes only the error view, of a survey measured with its reciprocals (without --file).
// --model takes only the model view, once its inversion has ended, with a cell in the middle of
// the line clicked (its most sensitive data marked in the tree) and the mouse over it.
//
// Without --file a realistic survey file is written first (see surveyfile.h).
#include "app/startup.h"
#include "app/tervexmodel.h"
#include "tools/cli/commandline.h"
#include "tools/shots/fileviewer.h"
#include "tools/shots/picture.h"
#include "tools/shots/surveyfile.h"
#include "ui/modelview.h"
#include "ui/viewermodelpage.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace {

constexpr int MinimumSide = 200;
constexpr int MaximumSide = 10000;

bool save(QWidget* window, const QString& path)
{
    QApplication::processEvents();
    return savePicture(window->grab(), path);
}

}

int main(int argc, char* argv[])
{
    Q_INIT_RESOURCE(tervex);
    QApplication app(argc, argv);

    CommandLine::setUp(app, QStringLiteral("tervex-viewershot"));

    QCommandLineParser parser;
    parser.addOption({QStringLiteral("file"), QStringLiteral("Survey data file to open."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("size"), QStringLiteral("Window size, e.g. 1280x800."), QStringLiteral("size")});
    parser.addOption({QStringLiteral("prefix"), QStringLiteral("Picture name prefix."), QStringLiteral("name"),
                      QStringLiteral("viewer")});
    parser.addOption({QStringLiteral("export"), QStringLiteral("Also a picture of the export dialog.")});
    parser.addOption({QStringLiteral("errors"), QStringLiteral("Only a picture of the error view.")});
    parser.addOption({QStringLiteral("model"), QStringLiteral("Only a picture of the model view.")});
    parser.addOption({QStringLiteral("english"), QStringLiteral("The interface in English.")});
    parser.addPositionalArgument(QStringLiteral("outdir"), QStringLiteral("Folder for the pictures."));
    parser.addHelpOption();
    parser.addVersionOption();
    if (!CommandLine::parse(parser, app))
        return CommandLine::UsageError;
    if (parser.positionalArguments().size() != 1)
        return CommandLine::usageError(QStringLiteral("expected one OUTDIR (see --help)"));
    QSize windowSize;
    if (parser.isSet(QStringLiteral("size"))) {
        const QStringList parts = parser.value(QStringLiteral("size")).split(QLatin1Char('x'));
        bool okWidth = false, okHeight = false;
        const int width = parts.value(0).toInt(&okWidth);
        const int height = parts.value(1).toInt(&okHeight);
        if (parts.size() != 2 || !okWidth || !okHeight || width < MinimumSide || height < MinimumSide
            || width > MaximumSide || height > MaximumSide)
            return CommandLine::usageError(QStringLiteral("--size: '%1' is not WIDTHxHEIGHT, each from %2 to %3")
                                               .arg(parser.value(QStringLiteral("size")))
                                               .arg(MinimumSide)
                                               .arg(MaximumSide));
        windowSize = QSize(width, height);
    }
    const QDir out(parser.positionalArguments().first());

    // The viewer stores the data folder and the polarisation choice: keep them away from the user's settings.
    QTemporaryDir work;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, work.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.path());

    QString path = parser.value(QStringLiteral("file"));
    const bool errors = parser.isSet(QStringLiteral("errors"));
    if (path.isEmpty()) {
        path = work.filePath(QStringLiteral("241208_101500.etr"));
        if (!(errors ? writeReciprocalSurveyFile(path) : writeSurveyFile(path))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    app.setStyleSheet(Startup::styleSheet());
    if (parser.isSet(QStringLiteral("english")))
        Startup::installTranslations(&app, Startup::english());
    TervexModel model;
    FileViewer viewer(&model);
    if (windowSize.isValid())
        viewer.resize(windowSize);
    viewer.show();
    viewer.open(path);
    const QString prefix = parser.value(QStringLiteral("prefix"));
    const auto viewButton = [&viewer](int index) {
        return viewer.findChild<QWidget*>(QStringLiteral("view_toggle"))->findChildren<QPushButton*>().value(index);
    };
    if (errors) {
        viewButton(2)->click();
        return save(&viewer, out.filePath(prefix + QStringLiteral("-errors.png"))) ? 0 : 1;
    }
    if (parser.isSet(QStringLiteral("model"))) {
        QEventLoop wait;
        QObject::connect(viewer.modelPage(), &ViewerModelPage::computed, &wait, &QEventLoop::quit);
        viewButton(3)->click();
        if (viewer.modelPage()->isComputing())
            wait.exec();
        ModelView* view = viewer.modelPage()->view();
        view->plot()->replot();
        QApplication::processEvents();
        // The cell nearest the middle of the line, a little below the surface.
        int chosen = -1;
        double best = HUGE_VAL;
        const double middle = view->plot()->xAxis->range().center();
        for (int i = 0; i < view->plot()->cells().size(); ++i) {
            const ModelCell& cell = view->plot()->cells().at(i);
            const double d = std::hypot(cell.x - middle, 3.0 * view->depthAt(cell.x, cell.z) - 15.0);
            if (d < best) {
                best = d;
                chosen = i;
            }
        }
        if (chosen >= 0) {
            const QPoint centre = view->cellCentre(chosen).toPoint();
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QMouseEvent click(type, centre, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(view->plot(), &click);
            }
            QMouseEvent over(QEvent::MouseMove, centre, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(view->plot(), &over);
        }
        return save(&viewer, out.filePath(prefix + QStringLiteral("-model.png"))) ? 0 : 1;
    }
    // A channel in the middle of the line, a few blocks down.
    for (int i = 0; i < 124; ++i)
        viewer.pressKey(Qt::Key_Down);

    bool ok = save(&viewer, out.filePath(prefix + QStringLiteral(".png")));

    auto* showCurrent = viewer.findChild<QPushButton*>(QStringLiteral("show_current_button"));
    showCurrent->click();
    ok = save(&viewer, out.filePath(prefix + QStringLiteral("-no-current.png"))) && ok;
    showCurrent->click();

    // The pause after the first pulse: the decay of the induced polarisation.
    viewer.potentialGraph()->keyAxis()->setRange(503, 997);
    viewer.potentialGraph()->rescaleValueAxis(false, true);
    viewer.plot()->replot();
    // The mouse over the potential plot shows its read-out.
    QMouseEvent move(QEvent::MouseMove, viewer.potentialRect()->rect().center(), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewer.plot(), &move);
    ok = save(&viewer, out.filePath(prefix + QStringLiteral("-zoomed.png"))) && ok;

    if (parser.isSet(QStringLiteral("export"))) {
        viewer.findChild<QPushButton*>(QStringLiteral("export_button"))->click();
        auto* dialog = viewer.findChild<QDialog*>(QStringLiteral("export_dialog"));
        dialog->findChild<QComboBox*>(QStringLiteral("export_format_combo"))->setCurrentIndex(1);
        dialog->findChild<QLineEdit*>(QStringLiteral("export_target_edit"))
            ->setText(work.filePath(QStringLiteral("241208_101500-resipy.csv")));
        dialog->findChild<QPushButton*>(QStringLiteral("export_write_button"))->click();
        QApplication::processEvents();
        QPixmap picture = viewer.grab();
        QPainter painter(&picture);
        painter.drawPixmap(dialog->geometry().topLeft() - viewer.geometry().topLeft(), dialog->grab());
        painter.end();
        ok = picture.save(out.filePath(prefix + QStringLiteral("-export.png"))) && ok;
    }
    viewButton(1)->click();
    ok = save(&viewer, out.filePath(prefix + QStringLiteral("-pseudosection.png"))) && ok;
    return ok ? 0 : 1;
}
