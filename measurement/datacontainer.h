#ifndef DATACONTAINER_H
#define DATACONTAINER_H

#include "measurement/idatacontainer.h"

#include <QMap>
#include <QVector>

// The sample streams of one record: stream 0 is the current, 1 the generator voltage,
// 2 + k the k-th channel of the record's channel id list.
class DataContainer : public IDataContainer
{
public:
    DataContainer();

    QVector<float>*& channelData(int id) override;
    int pulseSamples() const override { return m_pulse; }
    int pauseSamples() const override { return m_pause; }
    int repeats() const override { return m_repeats; }
    int channelCount() const override { return m_channelCount; }
    int periodSamples() const override { return m_periodSamples; }
    int halfPeriodSamples() const override { return m_halfPeriodSamples; }
    int expectedSamples() const override { return m_expectedSamples; }
    int receivedSamples() const override { return m_receivedSamples; }
    QVector<qint16> channelIds() const override { return m_channelIds; }

    // Creates potentialChannels + 2 empty streams; called once per station link.
    void resetStreams(int potentialChannels);
    // Samples reserved per stream at most when a record starts (about 70 minutes of samples).
    static constexpr int MaxReservedSamples = 1 << 22;

    // Starts a new record: timing, channel ids, empty pre-sized streams. False, with an empty
    // record of no expected samples, when the timing is out of the bounds of RecordTiming.
    bool prepareRecord(int pulse, int pause, int repeats, const QVector<quint16>& channelIds);

    // Direct access for the data processor, which appends whole rows.
    int streamCount() const { return m_streams.size(); }
    QVector<float>& stream(int index) { return m_streams[index]; }
    const QVector<float>& stream(int index) const { return m_streams[index]; }
    void addReceivedSamples(int rows) { m_receivedSamples += rows; }

private:
    int m_pulse = 0;
    int m_pause = 0;
    int m_repeats = 0;
    int m_channelCount = 2;
    int m_periodSamples = 0;
    int m_halfPeriodSamples = 0;
    int m_expectedSamples = 0;
    int m_receivedSamples = 0;
    QVector<qint16> m_channelIds;
    QVector<QVector<float>> m_streams;
    QMap<int, QVector<float>*> m_channelMap;
};

#endif
