// Writing the inversion exports of a 48-electrode survey of 1000 data (100 records of 10 channels,
// simulated): merging into a dataset and each of the three formats, with and without chargeability.
//
//   tervex-bench-export                    measures, medians of several runs
//   tervex-bench-export --write FILE N     only writes a simulated survey file of N records
//                                          (the demo survey of examples/ has 6)

#include "etr/etrfile.h"
#include "etr/inversiondataset.h"
#include "etr/inversionwriters.h"
#include "tools/shots/surveyfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Records = 100;
constexpr int Runs = 7;

template<typename F>
double medianMs(F run)
{
    QVector<double> times;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(Runs / 2);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--write")) {
        SurveyFileSpec spec;
        spec.blocks = args.at(3).toInt();
        return writeSurveyFile(args.at(2), spec) ? 0 : 1;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("survey.etr"));
    SurveyFileSpec spec;
    spec.blocks = Records;
    EtrFile file;
    if (!writeSurveyFile(path, spec) || !file.load(path)) {
        std::fprintf(stderr, "cannot write or load %s\n", qPrintable(path));
        return 1;
    }
    const QVector<const EtrFile*> files{&file};
    InversionDataset dataset;
    const double merge = medianMs([&] { dataset = InversionDataset::fromFiles(files, true); });
    std::printf("survey: %d electrodes, %d data (every record kept: the simulated layouts repeat)\n", int(dataset.electrodes.size()),
                int(dataset.data.size()));
    std::printf("dataset from the file: %.2f ms\n", merge);
    for (InversionFormat format : {InversionFormat::Ohm, InversionFormat::ResIPy, InversionFormat::Res2DInv}) {
        for (bool ip : {false, true}) {
            const InversionOptions options{format, ip};
            const QString target = dir.filePath(QStringLiteral("out"));
            InversionReport report;
            const double ms = medianMs([&] { report = InversionWriters::writeFile(dataset, options, target); });
            if (!report.ok()) {
                std::fprintf(stderr, "%s\n", qPrintable(report.text()));
                return 1;
            }
            std::printf("%-9s%-4s %4d data written to disk: %.2f ms\n", qPrintable(InversionWriters::name(format)),
                        ip ? " ip" : "", report.written, ms);
        }
    }
    std::printf("goal: well under a second per export\n");
    return 0;
}
