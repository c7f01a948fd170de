// Frames per second taken by FrameParser from a flood of small frames (a station repeating an
// unknown 4-byte reply, or Status replies) arriving in reads of typical socket sizes. The cost per
// frame must not grow with the size of the read.

#include "station/frameparser.h"
#include "station/wireformat.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr int FloodBytes = 16 * 1024 * 1024;

QByteArray flood(int payload)
{
    const QByteArray frame = Wire::frame(0x7777, QByteArray(payload, '\x01'));
    QByteArray out;
    out.reserve(FloodBytes + frame.size());
    while (out.size() < FloodBytes)
        out.append(frame);
    return out;
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("FrameParser, %d MB of frames per run\n", FloodBytes / (1024 * 1024));
    for (int payload : {0, 20}) {
        const QByteArray bytes = flood(payload);
        for (int readSize : {1460, 65536, 1024 * 1024}) {
            FrameParser parser;
            QByteArray frame;
            qint64 frames = 0;
            QElapsedTimer timer;
            timer.start();
            for (int offset = 0; offset < bytes.size(); offset += readSize) {
                parser.append(bytes.mid(offset, readSize));
                while (parser.takeFrame(&frame))
                    ++frames;
            }
            const double seconds = timer.nsecsElapsed() * 1e-9;
            std::printf("frame %2d B, read %7d B: %9.0f frames/s, %7.1f MB/s\n", payload + Wire::FrameHeaderSize,
                        readSize, frames / seconds, bytes.size() / seconds / 1e6);
        }
    }
    return 0;
}
