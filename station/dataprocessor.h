#ifndef DATAPROCESSOR_H
#define DATAPROCESSOR_H

#include "measurement/datacontainer.h"

#include <QByteArray>
#include <QObject>
#include <QVector>

// Cuts the data connection's rows of floats (current, generator voltage, then the record's
// channels) into the streams of the container.
class DataProcessor : public QObject
{
    Q_OBJECT
public:
    explicit DataProcessor(QObject* parent = nullptr);

    DataContainer* container() { return &m_container; }
    const DataContainer* container() const { return &m_container; }

    // Creates the streams for the station's channel count; done once per station link.
    void reset(int channelCount);
    // Starts a record: drops unconsumed bytes and pre-sizes the streams; false when the timing is
    // out of bounds (the record then expects no samples).
    bool setup(int pulse, int pause, int periods, const QVector<quint16>& channels);
    // Consumes every complete row; a partial row waits for the next call.
    void appendData(const QByteArray& bytes);

    int pendingBytes() const { return m_streamBuffer.size(); }

Q_SIGNALS:
    void channelsUpdated();

private:
    // Appends the complete rows of data to the streams; returns their number.
    int consumeRows(const char* data, int size);

    DataContainer m_container;
    QByteArray m_streamBuffer;
    // Floats per row as the station sends them; the container may keep fewer streams when the
    // record names more channels than it was sized for.
    int m_rowWidth = 2;
};

#endif
