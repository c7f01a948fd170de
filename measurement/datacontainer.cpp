#include "measurement/datacontainer.h"

#include "measurement/recordtiming.h"

DataContainer::DataContainer()
{
    resetStreams(0);
}

QVector<float>*& DataContainer::channelData(int id)
{
    return m_channelMap[id];
}

void DataContainer::resetStreams(int potentialChannels)
{
    m_channelMap.clear();
    m_streams.clear();
    m_streams.resize(qMax(0, potentialChannels) + 2);
    m_channelIds.clear();
    m_channelCount = 2;
    m_channelMap.insert(StreamId::Current, &m_streams[0]);
    m_channelMap.insert(StreamId::Voltage, &m_streams[1]);
}

bool DataContainer::prepareRecord(int pulse, int pause, int repeats, const QVector<quint16>& channelIds)
{
    m_receivedSamples = 0;
    const bool valid = RecordTiming::isValid(pulse, pause, repeats);
    // A timing out of bounds leaves an empty record rather than an overflowed sample count.
    m_pulse = valid ? pulse : 0;
    m_pause = valid ? pause : 0;
    m_repeats = valid ? repeats : 0;
    m_halfPeriodSamples = m_pulse + m_pause;
    m_periodSamples = 2 * m_halfPeriodSamples;
    m_expectedSamples = int(RecordTiming::samplesPerStream(m_pulse, m_pause, m_repeats));

    // The streams were sized once for the station's channels; a longer list cannot be held.
    const int usable = qMin(channelIds.size(), m_streams.size() - 2);
    m_channelIds.clear();
    m_channelIds.reserve(usable);
    for (int i = 0; i < usable; ++i)
        m_channelIds.append(static_cast<qint16>(channelIds[i]));
    m_channelCount = usable + 2;

    // The reservation is a hint: a very long record grows its streams as its samples arrive
    // instead of claiming memory for samples that may never come.
    const int reserved = qMin(m_expectedSamples, MaxReservedSamples);
    for (QVector<float>& s : m_streams) {
        s.clear();
        s.reserve(reserved);
    }
    m_channelMap.clear();
    m_channelMap.insert(StreamId::Current, &m_streams[0]);
    m_channelMap.insert(StreamId::Voltage, &m_streams[1]);
    for (int i = 0; i < usable; ++i)
        m_channelMap.insert(m_channelIds[i], &m_streams[2 + i]);
    return valid;
}
