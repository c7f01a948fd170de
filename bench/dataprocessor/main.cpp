// Throughput of DataProcessor::appendData on a 10-channel stream (12 floats per row) fed in
// network-sized chunks that do not line up with rows, against a plain memcpy of the same bytes.

#include "station/dataprocessor.h"
#include "station/wireformat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QVector>

#include <cstdio>
#include <cstring>

namespace {

constexpr int Channels = 10;
constexpr int Streams = Channels + 2;
constexpr int RowBytes = Streams * 4;
// One record of 2 * (5000 + 5000) * 6 rows: 120000 rows, 5.76 MB.
constexpr int Pulse = 5000, Pause = 5000, Periods = 6;
constexpr int Rows = 2 * (Pulse + Pause) * Periods;
constexpr int Repeats = 20;
// The station streams one row per millisecond.
constexpr double StationBytesPerSecond = 1000.0 * RowBytes;

QByteArray recordBytes()
{
    QByteArray out;
    out.reserve(Rows * RowBytes);
    for (int r = 0; r < Rows; ++r)
        for (int s = 0; s < Streams; ++s)
            Wire::putF32(out, float(r % 1000) * 0.001f + float(s));
    return out;
}

QVector<QByteArray> chunks(const QByteArray& bytes, int chunkSize)
{
    QVector<QByteArray> out;
    for (int offset = 0; offset < bytes.size(); offset += chunkSize)
        out.append(bytes.mid(offset, chunkSize));
    return out;
}

double processorSeconds(const QVector<QByteArray>& pieces, const QVector<quint16>& channels)
{
    DataProcessor processor;
    processor.reset(Channels);
    QElapsedTimer timer;
    qint64 total = 0;
    for (int i = 0; i < Repeats; ++i) {
        processor.setup(Pulse, Pause, Periods, channels);
        timer.start();
        for (const QByteArray& piece : pieces)
            processor.appendData(piece);
        total += timer.nsecsElapsed();
        if (processor.container()->receivedSamples() != Rows) {
            std::fprintf(stderr, "rows lost: %d of %d\n", processor.container()->receivedSamples(), Rows);
            std::exit(1);
        }
    }
    return total * 1e-9;
}

double memcpySeconds(const QVector<QByteArray>& pieces, int totalBytes)
{
    QByteArray target(totalBytes, '\0');
    QElapsedTimer timer;
    qint64 total = 0;
    volatile char sink = 0;
    for (int i = 0; i < Repeats; ++i) {
        timer.start();
        char* out = target.data();
        for (const QByteArray& piece : pieces) {
            std::memcpy(out, piece.constData(), size_t(piece.size()));
            out += piece.size();
        }
        total += timer.nsecsElapsed();
        sink = sink + target.at(i);
    }
    return total * 1e-9;
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QByteArray bytes = recordBytes();
    QVector<quint16> channels;
    for (int c = 1; c <= Channels; ++c)
        channels.append(quint16(c));

    const double megabytes = double(bytes.size()) * Repeats / 1e6;
    std::printf("DataProcessor::appendData, %d channels (%d-byte rows), %d rows per record, %d records\n",
                Channels, RowBytes, Rows, Repeats);
    std::printf("station stream: %.1f KB/s\n", StationBytesPerSecond / 1000.0);
    for (int chunkSize : {1460, 16384}) {
        const QVector<QByteArray> pieces = chunks(bytes, chunkSize);
        const double processor = processorSeconds(pieces, channels);
        const double copy = memcpySeconds(pieces, bytes.size());
        const double rate = megabytes / processor;
        std::printf("chunk %5d B: %8.1f MB/s, memcpy %8.1f MB/s, ratio to memcpy %.2f, real-time factor %.0f\n",
                    chunkSize, rate, megabytes / copy, copy / processor, rate * 1e6 / StationBytesPerSecond);
    }
    return 0;
}
