#include "station/dataprocessor.h"

#include "station/wireformat.h"

DataProcessor::DataProcessor(QObject* parent)
    : QObject(parent)
{
}

void DataProcessor::reset(int channelCount)
{
    m_container.resetStreams(channelCount);
    m_rowWidth = 2;
}

void DataProcessor::setup(int pulse, int pause, int periods, const QVector<quint16>& channels)
{
    m_streamBuffer.clear();
    m_container.prepareRecord(pulse, pause, periods, channels);
    m_rowWidth = channels.size() + 2;
}

int DataProcessor::consumeRows(const char* data, int size)
{
    const int rowBytes = 4 * m_rowWidth;
    const int rows = size / rowBytes;
    if (rows == 0)
        return 0;

    const int kept = m_container.channelCount();
    for (int s = 0; s < kept; ++s) {
        QVector<float>& stream = m_container.stream(s);
        const int start = stream.size();
        stream.resize(start + rows);
        float* out = stream.data() + start;
        const char* in = data + 4 * s;
        for (int r = 0; r < rows; ++r, in += rowBytes)
            out[r] = Wire::getF32(in);
    }
    m_container.addReceivedSamples(rows);
    return rows * rowBytes;
}

void DataProcessor::appendData(const QByteArray& bytes)
{
    int consumed = 0;
    if (m_streamBuffer.isEmpty()) {
        // The usual case: rows are cut straight from the read, only a partial row is kept.
        consumed = consumeRows(bytes.constData(), bytes.size());
        m_streamBuffer = bytes.mid(consumed);
    } else {
        m_streamBuffer.append(bytes);
        consumed = consumeRows(m_streamBuffer.constData(), m_streamBuffer.size());
        m_streamBuffer.remove(0, consumed);
    }
    if (consumed > 0)
        Q_EMIT channelsUpdated();
}
