// Loading a large survey data file: EtrFile::load against reading the same file into memory,
// peak memory against the file size, and the text export.
//
//   tervex-bench-etrload [FILE]      generates FILE (default in the temporary folder) when it is
//                                    missing, then measures; every figure comes from a fresh process
//   tervex-bench-etrload --measure read|load|calculate|export FILE
//                                    one measurement: "<milliseconds> <peak resident kB>"

#include "etr/etrfile.h"
#include "survey/etrformat.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int Blocks = 200;
constexpr int Channels = 10;
constexpr int Pulse = 500;
constexpr int Pause = 500;
constexpr int Periods = 3;
constexpr int Runs = 5;

// Peak resident set of this process so far.
qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

QVector<float> record(float amplitude, int seed)
{
    const int samples = int(EtrFormat::samplesPerStream(Pulse, Pause, Periods));
    QVector<float> values(samples);
    for (int i = 0; i < samples; ++i) {
        const int phase = i % (2 * (Pulse + Pause));
        const float level = phase < Pulse ? amplitude : (phase >= Pulse + Pause && phase < 2 * Pulse + Pause) ? -amplitude : 0.0f;
        values[i] = level + 1e-4f * float(std::sin(0.37 * (i + seed)));
    }
    return values;
}

bool generate(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    ElectrodeMap positions;
    for (int e = 1; e <= Electrodes::Count; ++e)
        positions.insert(e, {5.0f * (e - 1), 0.0f, 0.0f});
    const int samples = int(EtrFormat::samplesPerStream(Pulse, Pause, Periods));
    bool ok = file.write(EtrFormat::headerBytes(Pulse, Pause, Periods, positions)) > 0;
    for (int b = 0; b < Blocks && ok; ++b) {
        const int a = 1 + b % 30;
        QVector<EtrFormat::BlockChannel> channels;
        for (int c = 0; c < Channels; ++c)
            channels.append({a + 1 + c, a + 2 + c, record(0.1f / (c + 1), b * 31 + c)});
        ok = file.write(EtrFormat::blockBytes(samples, a, a + 13, record(0.05f, b), channels)) > 0;
    }
    return ok;
}

int measure(const QString& what, const QString& path)
{
    QElapsedTimer timer;
    EtrFile file;
    if ((what == QLatin1String("export") || what == QLatin1String("calculate")) && !file.load(path))
        return 1;
    timer.start();
    if (what == QLatin1String("read")) {
        QFile raw(path);
        if (!raw.open(QIODevice::ReadOnly) || raw.readAll().size() != raw.size())
            return 1;
    } else if (what == QLatin1String("load")) {
        if (!file.load(path))
            return 1;
    } else if (what == QLatin1String("calculate")) {
        // The loader's calculation pass alone, to tell parsing from computing.
        TervexCalculator calculator;
        const QVector<float> noVoltage(file.samplesPerStream());
        for (const EtrBlock& block : file.blocks()) {
            calculator.setTiming(file.pulse(), file.pause(), file.repeats(), 0.0f, file.electrodePositions());
            calculator.setReference(block.a, block.b, block.currentSamples, noVoltage);
            for (int k = 0; k < block.channels.size(); ++k)
                calculator.addChannel(k, block.channels.at(k).m, block.channels.at(k).n, block.channels.at(k).samples);
            calculator.calculate();
        }
    } else if (!file.exportText(false)) {
        return 1;
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("%.2f %lld\n", ms, peakResidentKb());
    return 0;
}

struct Figure
{
    double ms = 0.0;
    qint64 peakKb = 0;
};

bool runOnce(const QString& what, const QString& path, Figure* figure)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), what, path});
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return false;
    const QList<QByteArray> parts = process.readAllStandardOutput().trimmed().split(' ');
    if (parts.size() != 2)
        return false;
    figure->ms = parts.at(0).toDouble();
    figure->peakKb = parts.at(1).toLongLong();
    return true;
}

// Median time and peak memory over several fresh processes.
bool median(const QString& what, const QString& path, Figure* result)
{
    QVector<double> times;
    QVector<qint64> peaks;
    for (int i = 0; i < Runs; ++i) {
        Figure f;
        if (!runOnce(what, path, &f))
            return false;
        times.append(f.ms);
        peaks.append(f.peakKb);
    }
    std::sort(times.begin(), times.end());
    std::sort(peaks.begin(), peaks.end());
    result->ms = times.at(Runs / 2);
    result->peakKb = peaks.at(Runs / 2);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--measure"))
        return measure(args.at(2), args.at(3));

    const QString path = args.size() > 1 ? args.at(1) : QDir::temp().filePath(QStringLiteral("tervex-bench-etrload.etr"));
    if (!QFile::exists(path) && !generate(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    Figure read, load, calculate, exported;
    if (!median(QStringLiteral("read"), path, &read) || !median(QStringLiteral("load"), path, &load)
        || !median(QStringLiteral("calculate"), path, &calculate) || !median(QStringLiteral("export"), path, &exported)) {
        std::fprintf(stderr, "a measurement failed\n");
        return 1;
    }
    const double fileMb = QFile(path).size() / 1048576.0;
    QTextStream out(stdout);
    out << QStringLiteral("file: %1 (%2 MB, %3 blocks x %4 channels, pulse %5, pause %6, %7 periods)\n")
               .arg(path).arg(fileMb, 0, 'f', 1).arg(Blocks).arg(Channels).arg(Pulse).arg(Pause).arg(Periods);
    out << QStringLiteral("read into memory: %1 ms, peak %2 MB\n").arg(read.ms, 0, 'f', 1).arg(read.peakKb / 1024.0, 0, 'f', 1);
    out << QStringLiteral("EtrFile::load:    %1 ms (%2 x read), peak %3 MB (%4 x file size)\n")
               .arg(load.ms, 0, 'f', 1)
               .arg(load.ms / read.ms, 0, 'f', 2)
               .arg(load.peakKb / 1024.0, 0, 'f', 1)
               .arg(load.peakKb / 1024.0 / fileMb, 0, 'f', 2);
    out << QStringLiteral("  of which the calculation pass: %1 ms, parsing and copying: %2 ms (%3 x read)\n")
               .arg(calculate.ms, 0, 'f', 1)
               .arg(load.ms - calculate.ms, 0, 'f', 1)
               .arg((load.ms - calculate.ms) / read.ms, 0, 'f', 2);
    out << QStringLiteral("exportText:       %1 ms\n").arg(exported.ms, 0, 'f', 1);
    out << QStringLiteral("goals: load within 3 x read, peak within 2.5 x file size\n");
    return 0;
}
