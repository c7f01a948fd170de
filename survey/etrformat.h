#ifndef ETRFORMAT_H
#define ETRFORMAT_H

#include "measurement/electrodeposition.h"
#include "measurement/recordtiming.h"
#include "survey/quadrupoleline.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVarLengthArray>
#include <QVector>

class QDataStream;
class QFile;

// Byte layout of the survey data file (.etr), shared by the survey that writes it, the
// continuation of an interrupted survey and the viewer that loads it. Everything is raw
// little-endian: 32-bit signed integers and IEEE-754 single-precision floats, no padding.
//
//   header: 4096-byte free area, format word, pulse, pause, repeats, P, P x {number, x, y, z}
//   block:  A, B, NCH, S current samples, NCH x {128-byte area, M, N, S potential samples}
//
// with S = 2 x (pulse + pause) x repeats samples per stream.
namespace EtrFormat {

constexpr int HeaderAreaSize = 4096;
constexpr qint32 FormatWord = 1000;
constexpr int FixedHeaderSize = HeaderAreaSize + 5 * 4;
constexpr int PositionEntrySize = 16;
constexpr int BlockHeaderSize = 12;
constexpr int ChannelAreaSize = 128;
constexpr int ChannelHeaderSize = ChannelAreaSize + 8;
// A block with more channel records than the station has channels is garbage.
constexpr int MaxChannels = 10;
constexpr qint32 MaxRepeats = qint32(RecordTiming::MaxRepeats);
constexpr qint32 MaxPhaseLength = qint32(RecordTiming::MaxPhaseLength);
constexpr qint64 MaxSamplesPerStream = RecordTiming::MaxSamplesPerStream;
static_assert(4 * MaxSamplesPerStream + ChannelHeaderSize <= INT_MAX, "a channel record must fit an int");

// S for the given timing, in 64 bits so that absurd header values cannot overflow.
using RecordTiming::samplesPerStream;

// The bounds every reader of a data file applies to its timing. False, with a reason, when a
// value is outside them.
bool checkTiming(qint64 pulse, qint64 pause, qint64 repeats, QString* error);
// The timing a new data file may be written with: within the readers' bounds and with samples in
// every record, so that the file can be read and its records mean something.
bool checkRecordTiming(qint64 pulse, qint64 pause, qint64 repeats, QString* error);

// The survey's sequence file beside a data file: the path with its last three characters
// ("etr") replaced by "txt".
QString companionPath(const QString& dataPath);

struct Header
{
    QByteArray area;
    qint32 formatWord = 0;
    qint32 pulse = 0;
    qint32 pause = 0;
    qint32 repeats = 0;
    qint32 positionEntries = 0;
    // An electrode number that occurs twice keeps its later entry.
    ElectrodeMap positions;
    int samplesPerStream = 0;
    // Offset of the first block.
    qint64 size = 0;
};

// Reads the header at the start of data. False, with a reason in error, when the buffer is
// shorter than the header or the timing or position count is out of any sane range.
bool readHeader(const char* data, qint64 size, Header* header, QString* error);

struct ChannelView
{
    const char* area = nullptr;
    qint32 m = 0;
    qint32 n = 0;
    const char* samples = nullptr;
};

// One block as it stands in the buffer; the pointers stay valid as long as the buffer.
struct BlockView
{
    qint32 a = 0;
    qint32 b = 0;
    qint32 channelCount = 0;
    const char* current = nullptr;
    QVarLengthArray<ChannelView, MaxChannels> channels;
    // Bytes the block announces and bytes that were left for it.
    qint64 size = 0;
    qint64 available = 0;
};

enum class BlockStatus {
    Read,       // a complete, valid block
    End,        // no bytes left
    Rejected,   // NCH above MaxChannels, or A or B outside 0..48: a, b and channelCount are set
    Incomplete  // the file ends inside the block: size and available tell by how much
};

// Walks the blocks after the header. Never reads past the buffer.
class BlockReader
{
public:
    BlockReader(const char* data, qint64 size, const Header& header);

    BlockStatus next(BlockView* block);

    // Offset just past the last complete block read.
    qint64 position() const { return m_position; }
    int blocksRead() const { return m_blocksRead; }

private:
    const char* m_data;
    qint64 m_size;
    qint64 m_streamBytes;
    qint64 m_position;
    int m_blocksRead = 0;
};

// Electrode number taken as unsigned, so negative numbers are out of range too.
inline bool isValidElectrode(qint32 number)
{
    return quint32(number) <= quint32(Electrodes::Count);
}

// What an existing data file holds, for continuing the survey that wrote it.
struct Scan
{
    Header header;
    // One line per channel record, in file order.
    QList<QuadrupoleLine> measured;
    int blockCount = 0;
    // Offset just past the last complete valid block: new blocks go here.
    qint64 completeEnd = 0;
    // Why the scan stopped: End for a whole file.
    BlockStatus stop = BlockStatus::End;
};

bool scan(const char* data, qint64 size, Scan* result, QString* error);
// The whole of an open file.
bool scanFile(QFile* file, Scan* result, QString* error);

struct BlockChannel
{
    qint32 m = 0;
    qint32 n = 0;
    QVector<float> samples;
};

// The header as the survey writes it: the free area (blank unless a whole area of HeaderAreaSize
// bytes is given, such as the line's metadata), format word 1000, the timing and one entry per
// electrode in ascending number.
QByteArray headerBytes(int pulse, int pause, int repeats, const ElectrodeMap& positions,
                       const QByteArray& area = QByteArray());
// One block with NCH = the number of channel records, every stream cut or zero-padded to
// exactly samplesPerStream values, so the reader always finds the next block.
QByteArray blockBytes(int samplesPerStream, int a, int b, const QVector<float>& current,
                      const QVector<BlockChannel>& channels);

bool writeHeader(QDataStream& out, int pulse, int pause, int repeats, const ElectrodeMap& positions,
                 const QByteArray& area = QByteArray());
bool writeBlock(QDataStream& out, int samplesPerStream, int a, int b, const QVector<float>& current,
                const QVector<BlockChannel>& channels);

} // namespace EtrFormat

#endif
