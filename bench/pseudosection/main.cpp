// What the live pseudosection page costs per record once the survey is large: with about 2,000
// and about 50,000 data on the page, one record of ten channels is added and the page redrawn and
// painted at once. Prints the median and the slowest of 40 records, and fails when the cells added
// record by record differ from those of the whole list placed at once. Run it under Xvfb so that
// the window really paints:
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
    // Every 600 records the same layout 150 electrodes further on: a roll-along line.
    const int a = 1 + (index / 150) % 4;
    const int start = 1 + index % 150 + 150 * (index / 600);
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

// Adds `records` records to a page already showing about `size` data and redraws after each, as
// the record page does; prints the median and the slowest.
bool measure(int size, int records)
{
    PseudosectionView view;
    view.resize(1000, 760);
    view.show();
    QApplication::processEvents();

    QVector<SurveyDatum> data;
    int next = 0;
    while (data.size() < size - Channels)
        data += record(next++);
    view.plot()->setData(data, true);
    view.plot()->replot();
    QApplication::processEvents();

    std::vector<double> times;
    std::vector<double> placing;
    for (int i = 0; i < records; ++i) {
        QElapsedTimer clock;
        clock.start();
        const QVector<SurveyDatum> added = record(next++);
        data += added;
        view.plot()->addData(added, true);
        placing.push_back(clock.nsecsElapsed() / 1e6);
        // The page's queued redraw runs and paints.
        QApplication::processEvents();
        QApplication::processEvents();
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::vector<double> redraw;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer c;
        c.start();
        view.plot()->replot(QCustomPlot::rpImmediateRefresh);
        QApplication::processEvents();
        redraw.push_back(c.nsecsElapsed() / 1e6);
    }
    std::printf("%d to %d data, %d cells drawn: full page redraw alone: median %.2f ms; of a record, placing "
                "the data: median %.2f ms\n",
                size - Channels, int(data.size()), int(view.plot()->cells().size()), median(redraw), median(placing));
    std::printf("pseudosection: %d data, add a record and redraw: median %.2f ms, slowest %.2f ms (goal < 20 ms)\n",
                int(data.size()), median(times), *std::max_element(times.begin(), times.end()));
    // The page built at once from the same list holds the same cells.
    PseudosectionPlot whole;
    whole.setData(data, true);
    const auto& a = view.plot()->cells();
    const auto& b = whole.cells();
    bool same = a.size() == b.size();
    for (int i = 0; same && i < a.size(); ++i)
        same = a[i].area == b[i].area && a[i].value == b[i].value && a[i].newest == b[i].newest;
    if (!same)
        std::printf("the cells added one record at a time differ from the cells placed at once\n");
    return same;
}

}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    bool same = measure(2000, 40);
    same = measure(50000, 40) && same;
    return same ? 0 : 1;
}
