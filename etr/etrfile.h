#ifndef ETRFILE_H
#define ETRFILE_H

#include "measurement/electrodeposition.h"
#include "survey/linemetadata.h"
#include "measurement/tervexcalculator.h"
#include "survey/surveydatum.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>

// One potential channel record of a block, with the values computed for it on load.
struct EtrChannel
{
    QByteArray header;
    int m = 0;
    int n = 0;
    QVector<float> samples;
    float geometricFactor = 0.0f;
    float voltage = 0.0f;
    float resistivity = 0.0f;
    float deviation = 0.0f;
    float primaryAmplitude = 0.0f;
    float secondaryAmplitude = 0.0f;
    float chargeability = 0.0f;
    QVector<float> primaryWindows = QVector<float>(ChannelResult::WindowCount);
    QVector<float> secondaryWindows = QVector<float>(ChannelResult::WindowCount);
    QVector<float> decayCurve = QVector<float>(ChannelResult::WindowCount);
};

// One record: a position of the current electrodes with its current series and channels.
struct EtrBlock
{
    int a = 0;
    int b = 0;
    // NCH as read.
    int channelCount = 0;
    QVector<float> currentSamples;
    QVector<EtrChannel> channels;
    // Injected current in amperes, computed on load.
    float current = 0.0f;
};

// A loaded survey data file. Every block is recomputed from its samples once, when loading.
// Problems with the content are announced through loadMessage(); what can be read is kept.
class EtrFile : public QObject
{
    Q_OBJECT

public:
    explicit EtrFile(QObject* parent = nullptr);

    // False, changing nothing, when the file cannot be opened; false with a message when its
    // header is unusable. True otherwise, also when the blocks were read only in part.
    bool load(const QString& path);
    // The same on the bytes of a file already in memory (the file name and directory stay).
    bool parse(const QByteArray& content);
    bool parse(const char* data, qint64 size);

    // Writes the tab-separated table beside the file (textPath()); true when it was written
    // whole. Nothing is written before a successful load.
    bool exportText(bool withPolarisation) const;
    QString textPath(bool withPolarisation) const;

    QString fileName() const { return m_fileName; }
    QString directory() const { return m_directory; }
    int samplesPerStream() const { return m_samplesPerStream; }
    int streamBytes() const { return m_streamBytes; }
    QByteArray headerArea() const { return m_headerArea; }
    // The line's description the survey kept in the free header area, if any.
    LineMetadata metadata() const { return LineMetadata::fromHeaderArea(m_headerArea); }
    int formatWord() const { return m_formatWord; }
    int pulse() const { return m_pulse; }
    int pause() const { return m_pause; }
    int repeats() const { return m_repeats; }
    int positionCount() const { return m_positionCount; }
    const ElectrodeMap& electrodePositions() const { return m_electrodePositions; }
    const QVector<EtrBlock>& blocks() const { return m_blocks; }
    // One datum per channel record, in file order, with the positions of the header's electrode
    // table (an electrode the table lacks stands at 0, 0, 0); `source` is stored in each.
    QVector<SurveyDatum> surveyData(int source = 0) const;
    // A chargeability or decay-curve value of some channel could not be computed.
    bool polarisationInvalid() const { return m_polarisationInvalid; }
    // Every byte after the header belonged to a complete, valid block.
    bool isComplete() const { return m_complete; }
    // False once a potential electrode out of range made the rest of the reading doubtful.
    bool isReliable() const { return m_reliable; }

    static QString messageTitle();

Q_SIGNALS:
    void loadMessage(const QString& title, const QString& text);

private:
    void reset();
    void calculate();

    TervexCalculator m_calculator;
    QString m_fileName;
    QString m_directory;
    int m_samplesPerStream = 0;
    int m_streamBytes = 0;
    QByteArray m_headerArea;
    int m_formatWord = 0;
    int m_pulse = 0;
    int m_pause = 0;
    int m_repeats = 0;
    int m_positionCount = 0;
    ElectrodeMap m_electrodePositions;
    QVector<EtrBlock> m_blocks;
    bool m_polarisationInvalid = false;
    bool m_complete = false;
    bool m_reliable = true;
};

#endif
