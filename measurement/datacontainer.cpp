#include "measurement/datacontainer.h"

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

void DataContainer::prepareRecord(int pulse, int pause, int repeats, const QVector<quint16>& channelIds)
{
    m_receivedSamples = 0;
    m_pulse = pulse;
    m_pause = pause;
    m_repeats = repeats;
    m_halfPeriodSamples = pulse + pause;
    m_periodSamples = 2 * (pulse + pause);
    m_expectedSamples = m_periodSamples * repeats;

    // The streams were sized once for the station's channels; a longer list cannot be held.
    const int usable = qMin(channelIds.size(), m_streams.size() - 2);
    m_channelIds.clear();
    m_channelIds.reserve(usable);
    for (int i = 0; i < usable; ++i)
        m_channelIds.append(static_cast<qint16>(channelIds[i]));
    m_channelCount = usable + 2;

    for (QVector<float>& s : m_streams) {
        s.clear();
        s.reserve(qMax(0, m_expectedSamples));
    }
    m_channelMap.clear();
    m_channelMap.insert(StreamId::Current, &m_streams[0]);
    m_channelMap.insert(StreamId::Voltage, &m_streams[1]);
    for (int i = 0; i < usable; ++i)
        m_channelMap.insert(m_channelIds[i], &m_streams[2 + i]);
}
