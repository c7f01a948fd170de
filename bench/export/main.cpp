// Writing the inversion exports of a 48-electrode survey of 1000 data (100 records of 10 channels,
// simulated): merging into a dataset and each of the three formats, with and without chargeability.
//
//   tervex-bench-export                    measures, medians of several runs
//   tervex-bench-export --write FILE N     only writes a simulated survey file of N records
//                                          (the demo survey of examples/ has 6)

#include "etr/etrfile.h"
#include "etr/inversiondataset.h"
#include "etr/inversionwriters.h"
#include "survey/etrformat.h"
#include "tools/shots/surveyfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
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

    // A header with a very long coordinate table: the electrodes are merged by place, which must
    // not cost the square of their number.
    for (int count : {100000, 300000}) {
        ElectrodeMap positions;
        for (int e = 1; e <= count; ++e)
            positions.insert(e, ElectrodePosition{float(e) * 0.5f, 0.0f, 0.0f});
        const int samples = int(EtrFormat::samplesPerStream(100, 100, 1));
        QFile big(dir.filePath(QStringLiteral("long-table.etr")));
        if (!big.open(QIODevice::WriteOnly)
            || big.write(EtrFormat::headerBytes(100, 100, 1, positions)
                         + EtrFormat::blockBytes(samples, 1, 4, QVector<float>(samples, 0.1f),
                                                 {EtrFormat::BlockChannel{2, 3, QVector<float>(samples, 0.01f)}}))
                   < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(big.fileName()));
            return 1;
        }
        big.close();
        EtrFile longTable;
        if (!longTable.load(big.fileName()))
            return 1;
        QElapsedTimer timer;
        timer.start();
        const InversionDataset merged = InversionDataset::fromFiles({&longTable});
        std::printf("header of %d positions: dataset in %.1f ms (%d electrodes)\n", count, timer.nsecsElapsed() / 1e6,
                    int(merged.electrodes.size()));
    }
    return 0;
}
