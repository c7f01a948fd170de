#ifndef IDATACONTAINER_H
#define IDATACONTAINER_H

#include <QVector>

namespace StreamId {
// Ids of the two reference streams of every record; any other id is a measuring channel.
constexpr int Current = 100;
constexpr int Voltage = 200;
}

// Read access to the samples of the record being measured. Borrowed, never deleted through.
class IDataContainer
{
public:
    virtual QVector<float>*& channelData(int id) = 0;
    virtual int pulseSamples() const = 0;
    virtual int pauseSamples() const = 0;
    virtual int repeats() const = 0;
    virtual int channelCount() const = 0;
    virtual int periodSamples() const = 0;
    virtual int halfPeriodSamples() const = 0;
    virtual int expectedSamples() const = 0;
    virtual int receivedSamples() const = 0;
    virtual QVector<qint16> channelIds() const = 0;

protected:
    ~IDataContainer() = default;
};

#endif
