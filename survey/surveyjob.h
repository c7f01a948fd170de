#ifndef SURVEYJOB_H
#define SURVEYJOB_H

#include "measurement/electrodeposition.h"
#include "survey/quadrupoleline.h"

#include <QList>

#include <memory>

class QDataStream;
class QIODevice;
class DataFileLock;
class Sequence;

// One run: the electrode coordinates and quadrupoles it was built from, its sequence and the data
// file the records go to. Owns the sequence, the device and the stream on it.
class SurveyJob
{
public:
    SurveyJob(const ElectrodeMap& electrodes, const QList<QuadrupoleLine>& lines, Sequence* sequence,
              QIODevice* device = nullptr);
    ~SurveyJob();

    SurveyJob(const SurveyJob&) = delete;
    SurveyJob& operator=(const SurveyJob&) = delete;

    // Takes ownership of the device when none is attached yet; the data stream is created when
    // the device is open for writing. False (the device stays the caller's) when one is attached.
    bool attachDevice(QIODevice* device);

    // The run measures this sequence instead (owned); the quadrupoles of the line stay as they are.
    void replaceSequence(Sequence* sequence);

    // Holds the data file's lock until the job ends, after the file is closed.
    void holdLock(std::unique_ptr<DataFileLock> lock);

    // Quadrupoles of the survey already in its data file when the job continues one.
    int measuredBefore() const { return m_measuredBefore; }
    void setMeasuredBefore(int count) { m_measuredBefore = count; }

    const ElectrodeMap& electrodes() const { return m_electrodes; }
    const QList<QuadrupoleLine>& lines() const { return m_lines; }
    Sequence* sequence() const { return m_sequence; }
    QIODevice* device() const { return m_device; }
    // Little-endian, single-precision; null without a writable device.
    QDataStream* dataStream() const { return m_stream; }

    // Writes the coordinates (truncated toward zero) and the quadrupoles beside the data file, in
    // the sequence-file format, so the survey can be continued from its data file alone.
    bool writeCompanionText() const;

private:
    void createStream();

    ElectrodeMap m_electrodes;
    QList<QuadrupoleLine> m_lines;
    Sequence* m_sequence = nullptr;
    QIODevice* m_device = nullptr;
    QDataStream* m_stream = nullptr;
    std::unique_ptr<DataFileLock> m_lock;
    int m_measuredBefore = 0;
};

#endif
