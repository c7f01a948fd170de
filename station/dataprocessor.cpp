#include "station/dataprocessor.h"

#include "station/wireformat.h"

#include <QVarLengthArray>

DataProcessor::DataProcessor(QObject* parent)
    : QObject(parent)
{
}

void DataProcessor::reset(int channelCount)
{
    m_container.resetStreams(channelCount);
    m_rowWidth = 2;
}

bool DataProcessor::setup(int pulse, int pause, int periods, const QVector<quint16>& channels)
{
    const bool valid = m_container.prepareRecord(pulse, pause, periods, channels);
    m_rowWidth = channels.size() + 2;
    // Never more than one partial row is kept; reserved, it is not reallocated per read.
    m_streamBuffer.clear();
    m_streamBuffer.reserve(4 * m_rowWidth);
    return valid;
}

int DataProcessor::consumeRows(const char* data, int size)
{
    const int rowBytes = 4 * m_rowWidth;
    const int rows = size / rowBytes;
    if (rows == 0)
        return 0;

    // Grow every stream once, then fill them in a single pass over the rows.
    const int kept = m_container.channelCount();
    QVarLengthArray<float*, 32> out(kept);
    for (int s = 0; s < kept; ++s) {
        QVector<float>& stream = m_container.stream(s);
        const int start = stream.size();
        stream.resize(start + rows);
        out[s] = stream.data() + start;
    }
    const char* in = data;
    for (int r = 0; r < rows; ++r, in += rowBytes) {
        for (int s = 0; s < kept; ++s)
            out[s][r] = Wire::getF32(in + 4 * s);
    }
    m_container.addReceivedSamples(rows);
    return rows;
}

void DataProcessor::appendData(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    int size = bytes.size();
    int rows = 0;
    if (!m_streamBuffer.isEmpty()) {
        // Complete the row left over by the last read; only it is copied.
        const int rowBytes = 4 * m_rowWidth;
        const int taken = qMin(rowBytes - m_streamBuffer.size(), size);
        m_streamBuffer.append(data, taken);
        data += taken;
        size -= taken;
        if (m_streamBuffer.size() < rowBytes)
            return;
        rows += consumeRows(m_streamBuffer.constData(), rowBytes);
        m_streamBuffer.resize(0);
    }
    const int whole = consumeRows(data, size);
    rows += whole;
    const int consumed = whole * 4 * m_rowWidth;
    m_streamBuffer.append(data + consumed, size - consumed);
    if (rows > 0)
        Q_EMIT channelsUpdated();
}
