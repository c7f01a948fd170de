#include "survey/etrformat.h"

#include "station/wireformat.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>

#include <algorithm>

namespace EtrFormat {

namespace {

void appendStream(QByteArray& out, const QVector<float>& samples, int count)
{
    const int copied = std::min(count, int(samples.size()));
    for (int i = 0; i < copied; ++i)
        Wire::putF32(out, samples.at(i));
    out.append(4 * (count - copied), '\0');
}

bool writeRaw(QDataStream& out, const QByteArray& bytes)
{
    return out.writeRawData(bytes.constData(), bytes.size()) == bytes.size() && out.status() == QDataStream::Ok;
}

} // namespace

bool checkTiming(qint64 pulse, qint64 pause, qint64 repeats, QString* error)
{
    if (RecordTiming::isValid(pulse, pause, repeats))
        return true;
    *error = QCoreApplication::translate("EtrFormat", "Некорректные параметры записи в заголовке: импульс (%1), пауза (%2), периоды (%3)")
                 .arg(pulse).arg(pause).arg(repeats);
    return false;
}

bool checkRecordTiming(qint64 pulse, qint64 pause, qint64 repeats, QString* error)
{
    if (!checkTiming(pulse, pause, repeats, error))
        return false;
    if (samplesPerStream(pulse, pause, repeats) > 0)
        return true;
    *error = QCoreApplication::translate("EtrFormat", "Запись с импульсом %1 мс, паузой %2 мс и %3 периодами не содержит ни одного отсчёта")
                 .arg(pulse).arg(pause).arg(repeats);
    return false;
}

QString companionPath(const QString& dataPath)
{
    return dataPath.left(std::max(0, int(dataPath.size()) - 3)) + QStringLiteral("txt");
}

bool readHeader(const char* data, qint64 size, Header* header, QString* error)
{
    if (size < FixedHeaderSize) {
        *error = QCoreApplication::translate("EtrFormat", "Файл короче заголовка (%1 байт из %2)").arg(size).arg(FixedHeaderSize);
        return false;
    }
    const char* p = data + HeaderAreaSize;
    const qint32 formatWord = Wire::getI32(p);
    const qint32 pulse = Wire::getI32(p + 4);
    const qint32 pause = Wire::getI32(p + 8);
    const qint32 repeats = Wire::getI32(p + 12);
    const qint32 entries = Wire::getI32(p + 16);
    if (!checkTiming(pulse, pause, repeats, error))
        return false;
    const qint64 samples = samplesPerStream(pulse, pause, repeats);
    if (entries < 0 || entries > (size - FixedHeaderSize) / PositionEntrySize) {
        *error = QCoreApplication::translate("EtrFormat", "Некорректное число электродов (%1) в заголовке").arg(entries);
        return false;
    }

    header->area = QByteArray(data, HeaderAreaSize);
    header->formatWord = formatWord;
    header->pulse = pulse;
    header->pause = pause;
    header->repeats = repeats;
    header->positionEntries = entries;
    header->samplesPerStream = int(samples);
    header->positions.clear();
    const char* entry = data + FixedHeaderSize;
    for (qint32 i = 0; i < entries; ++i, entry += PositionEntrySize) {
        ElectrodePosition position;
        position.x = Wire::getF32(entry + 4);
        position.y = Wire::getF32(entry + 8);
        position.z = Wire::getF32(entry + 12);
        header->positions.insert(Wire::getI32(entry), position);
    }
    header->size = FixedHeaderSize + qint64(entries) * PositionEntrySize;
    return true;
}

BlockReader::BlockReader(const char* data, qint64 size, const Header& header)
    : m_data(data)
    , m_size(size)
    , m_streamBytes(4 * qint64(header.samplesPerStream))
    , m_position(std::min(header.size, size))
{
}

BlockStatus BlockReader::next(BlockView* block)
{
    const qint64 available = m_size - m_position;
    block->channels.clear();
    block->available = available;
    if (available == 0)
        return BlockStatus::End;
    block->size = BlockHeaderSize;
    if (available < BlockHeaderSize)
        return BlockStatus::Incomplete;

    const char* p = m_data + m_position;
    block->a = Wire::getI32(p);
    block->b = Wire::getI32(p + 4);
    block->channelCount = Wire::getI32(p + 8);
    if (block->channelCount > MaxChannels || !isValidElectrode(block->a) || !isValidElectrode(block->b))
        return BlockStatus::Rejected;

    const qint64 records = std::max(0, block->channelCount);
    block->size = BlockHeaderSize + m_streamBytes + records * (ChannelHeaderSize + m_streamBytes);
    if (available < block->size)
        return BlockStatus::Incomplete;

    block->current = p + BlockHeaderSize;
    p = block->current + m_streamBytes;
    for (qint64 i = 0; i < records; ++i) {
        ChannelView channel;
        channel.area = p;
        channel.m = Wire::getI32(p + ChannelAreaSize);
        channel.n = Wire::getI32(p + ChannelAreaSize + 4);
        channel.samples = p + ChannelHeaderSize;
        block->channels.append(channel);
        p = channel.samples + m_streamBytes;
    }
    m_position += block->size;
    ++m_blocksRead;
    return BlockStatus::Read;
}

bool scan(const char* data, qint64 size, Scan* result, QString* error)
{
    if (!readHeader(data, size, &result->header, error))
        return false;
    result->measured.clear();
    BlockReader reader(data, size, result->header);
    BlockView block;
    BlockStatus status;
    while ((status = reader.next(&block)) == BlockStatus::Read) {
        for (const ChannelView& channel : qAsConst(block.channels))
            result->measured.append({block.a, block.b, channel.m, channel.n});
        // A line without potential electrodes is written as a block without channel records.
        if (block.channels.isEmpty())
            result->measured.append({block.a, block.b, 0, 0});
    }
    result->blockCount = reader.blocksRead();
    result->completeEnd = reader.position();
    result->stop = status;

    return true;
}

bool scanFile(QFile* file, Scan* result, QString* error)
{
    const qint64 size = file->size();
    if (size == 0)
        return scan("", 0, result, error);
    if (uchar* mapped = file->map(0, size)) {
        const bool ok = scan(reinterpret_cast<const char*>(mapped), size, result, error);
        file->unmap(mapped);
        return ok;
    }
    if (!file->seek(0)) {
        *error = file->errorString();
        return false;
    }
    const QByteArray content = file->readAll();
    return scan(content.constData(), content.size(), result, error);
}

QByteArray headerBytes(int pulse, int pause, int repeats, const ElectrodeMap& positions, const QByteArray& area)
{
    QByteArray out = area.size() == HeaderAreaSize ? area : QByteArray(HeaderAreaSize, ' ');
    out.reserve(FixedHeaderSize + PositionEntrySize * positions.size());
    Wire::putI32(out, FormatWord);
    Wire::putI32(out, pulse);
    Wire::putI32(out, pause);
    Wire::putI32(out, repeats);
    Wire::putI32(out, positions.size());
    for (auto it = positions.cbegin(); it != positions.cend(); ++it) {
        Wire::putI32(out, it.key());
        Wire::putF32(out, it->x);
        Wire::putF32(out, it->y);
        Wire::putF32(out, it->z);
    }
    return out;
}

QByteArray blockBytes(int samplesPerStream, int a, int b, const QVector<float>& current,
                      const QVector<BlockChannel>& channels)
{
    const int samples = std::max(0, samplesPerStream);
    QByteArray out;
    out.reserve(BlockHeaderSize + 4 * samples + channels.size() * (ChannelHeaderSize + 4 * samples));
    Wire::putI32(out, a);
    Wire::putI32(out, b);
    Wire::putI32(out, channels.size());
    appendStream(out, current, samples);
    for (const BlockChannel& channel : channels) {
        out.append(ChannelAreaSize, '\0');
        Wire::putI32(out, channel.m);
        Wire::putI32(out, channel.n);
        appendStream(out, channel.samples, samples);
    }
    return out;
}

bool writeHeader(QDataStream& out, int pulse, int pause, int repeats, const ElectrodeMap& positions,
                 const QByteArray& area)
{
    return writeRaw(out, headerBytes(pulse, pause, repeats, positions, area));
}

bool writeBlock(QDataStream& out, int samplesPerStream, int a, int b, const QVector<float>& current,
                const QVector<BlockChannel>& channels)
{
    return writeRaw(out, blockBytes(samplesPerStream, a, b, current, channels));
}

} // namespace EtrFormat
