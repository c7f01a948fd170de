// What the live pseudosection page costs per record once the survey is large: with about 2,000
// data on the page, one record of ten channels is added and the page redrawn and painted at
// once. Prints the median and the slowest of 40 records. Run it under Xvfb so that the window
// really paints:
//
//   xvfb-run -a -s "-screen 0 1400x900x24" bench_pseudosection
#include "ui/pseudosectionview.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Channels = 10;
constexpr double Spacing = 5.0;

// Dipole-dipole records along a long line: dipole length a = 1..4 spacings, n = 1..10.
QVector<SurveyDatum> record(int index)
{
    const int a = 1 + (index / 150) % 4;
    const int start = 1 + index % 150;
    QVector<SurveyDatum> data;
    for (int n = 1; n <= Channels; ++n) {
        SurveyDatum d;
        d.electrodes = {start, start + a, start + a * (n + 1), start + a * (n + 2)};
        d.a.x = float((d.electrodes.a - 1) * Spacing);
        d.b.x = float((d.electrodes.b - 1) * Spacing);
        d.m.x = float((d.electrodes.m - 1) * Spacing);
        d.n.x = float((d.electrodes.n - 1) * Spacing);
        d.record = index;
        d.channel = n - 1;
        d.current = 0.1;
        d.voltage = 0.01;
        d.geometricFactor = 100.0;
        d.resistivity = 50.0 * std::pow(8.0, 1.0 - 1.0 / n) * (1.0 + 0.1 * std::sin(start * 0.2));
        d.deviation = (index + n) % 23 == 0 ? 9.0 : 0.5;
        d.chargeability = 3.0;
        data.append(d);
    }
    return data;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    PseudosectionView view;
    view.resize(1000, 760);
    view.show();
    QApplication::processEvents();

    QVector<SurveyDatum> data;
    int records = 0;
    while (data.size() < 1980)
        data += record(records++);
    view.plot()->setData(data, true);
    view.plot()->replot();
    QApplication::processEvents();

    std::vector<double> times;
    std::vector<double> rebuildTimes;
    for (int i = 0; i < 40; ++i) {
        QElapsedTimer clock;
        clock.start();
        // As the page does: the whole list handed over again.
        data += record(records++);
        view.plot()->setData(data, true);
        rebuildTimes.push_back(clock.nsecsElapsed() / 1e6);
        // The page's queued redraw runs and paints.
        QApplication::processEvents();
        QApplication::processEvents();
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    {
        PseudosectionView empty;
        empty.resize(1000, 760);
        empty.show();
        QApplication::processEvents();
        std::vector<double> t;
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer c;
            c.start();
            empty.plot()->replot(QCustomPlot::rpImmediateRefresh);
            QApplication::processEvents();
            t.push_back(c.nsecsElapsed() / 1e6);
        }
        std::printf("empty page redraw: median %.2f ms\n", median(t));
        std::vector<double> t2;
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer c;
            c.start();
            view.plot()->replot(QCustomPlot::rpImmediateRefresh);
            QApplication::processEvents();
            t2.push_back(c.nsecsElapsed() / 1e6);
        }
        std::printf("full page redraw alone: median %.2f ms\n", median(t2));
    }
    std::printf("of which placing the data: median %.2f ms\n", median(rebuildTimes));
    std::printf("pseudosection: %d to %d data, %d cells drawn, add a record and redraw: median %.2f ms, "
                "slowest %.2f ms (goal < 20 ms)\n",
                1980, int(data.size()), int(view.plot()->cells().size()), median(times),
                *std::max_element(times.begin(), times.end()));
    return 0;
}
