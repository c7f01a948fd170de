// How quickly the viewer opens a large survey file and steps through it.
//
// Writes a 200-block, 10-channel file (pulse 500, pause 500, 3 periods, about 50 MB) and measures
//  - open: from the open request to the first channel drawn (load, tree, plot, paint), fresh viewer each run;
//  - step: one arrow-key press on the tree with the replot and paint, over block borders too.
// Prints medians. Runs on the offscreen platform unless another one is chosen.
#include "app/tervexmodel.h"
#include "tools/shots/fileviewer.h"
#include "tools/shots/surveyfile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

double elapsedMs(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

}

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;

    QTemporaryDir work;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, work.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.path());

    const QString path = work.filePath(QStringLiteral("bench.etr"));
    SurveyFileSpec spec;
    spec.blocks = 200;
    if (!writeSurveyFile(path, spec)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("file: %d blocks x %d channels, %.1f MB\n", spec.blocks, spec.channels,
                QFileInfo(path).size() / 1e6);

    TervexModel model;
    std::vector<double> opens;
    std::vector<double> steps;
    for (int run = 0; run < runs; ++run) {
        FileViewer viewer(&model);
        viewer.show();
        QApplication::processEvents();

        QElapsedTimer timer;
        timer.start();
        viewer.open(path);
        QApplication::processEvents();
        opens.push_back(elapsedMs(timer));
        if (viewer.tree()->topLevelItemCount() != spec.blocks) {
            std::fprintf(stderr, "the file was not read whole\n");
            return 1;
        }

        // 25 presses cross two block borders.
        for (int i = 0; i < 25; ++i) {
            timer.restart();
            viewer.pressKey(Qt::Key_Down);
            QApplication::processEvents();
            steps.push_back(elapsedMs(timer));
        }
    }
    std::printf("open to first channel drawn: median %.1f ms (%d runs, min %.1f, max %.1f)\n", median(opens), runs,
                *std::min_element(opens.begin(), opens.end()), *std::max_element(opens.begin(), opens.end()));
    std::printf("arrow-key step with replot: median %.2f ms (%zu steps, max %.2f)\n", median(steps), steps.size(),
                *std::max_element(steps.begin(), steps.end()));
    return 0;
}
