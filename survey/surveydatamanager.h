#ifndef SURVEYDATAMANAGER_H
#define SURVEYDATAMANAGER_H

#include "survey/datafilter.h"
#include "survey/datamanager.h"
#include "survey/surveydatum.h"

#include <QMap>
#include <QVector>

// The data manager of surveys and trials: keeps a scrolling window of the record being measured
// for the live plot.
class SurveyDataManager : public DataManager
{
    Q_OBJECT

public:
    static constexpr int ViewPeriods = 5;
    static constexpr int ScrollStep = 60;

    explicit SurveyDataManager(QObject* parent = nullptr);

    void prepare() override;
    void beginRecord() override;
    void updateData() override;
    bool finishRecord() override;
    void finishSequence() override;
    void abortRun() override;

    const QVector<double>& xAxis() const { return m_xAxis; }
    // 0 = current (id 100), 1 = generator voltage (id 200), 2 + k = potential channel k.
    const QVector<QVector<double>>& series() const { return m_series; }
    // Series index -> stream id.
    const QMap<int, int>& rowIds() const { return m_rowIds; }
    int windowLength() const { return m_windowLength; }

    // The data of the survey in progress, record by record: those already in its file when it
    // continues one, then one datum per channel of every stored record.
    const QVector<SurveyDatum>& surveyData() const { return m_surveyData; }
    // `filter`: the rules the survey's data go through wherever they are shown.
    void resetSurveyData(const QVector<SurveyDatum>& existing = {}, const DataFilter& filter = DataFilter());
    const DataFilter& dataFilter() const { return m_filter; }
    // Numbers the record after the last one in the list and appends its data.
    void addRecordData(const QVector<SurveyDatum>& data);
    // The numbers the viewer gives the channels of the record added last: they run from 1 over
    // every channel of every record of the data file. last < first before a record with channels.
    int lastRecordFirst() const { return m_lastRecordFirst; }
    int lastRecordLast() const { return m_lastRecordLast; }

Q_SIGNALS:
    void surveyDataReset();
    // The data from `first` on are new: one record's channels.
    void recordDataAdded(int first);

private:
    // Appends sample `index` of every stream to its series.
    void appendSample(int index);
    void rebuildWindow(int firstIndex);

    QVector<double> m_xAxis;
    QVector<QVector<double>> m_series;
    QMap<int, int> m_rowIds;
    QVector<const QVector<float>*> m_streams;
    int m_windowLength = 0;
    int m_filled = 0;
    int m_scrolled = 0;
    QVector<SurveyDatum> m_surveyData;
    DataFilter m_filter;
    int m_recordCount = 0;
    int m_lastRecordFirst = 1;
    int m_lastRecordLast = 0;
};

#endif
