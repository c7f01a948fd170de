#include "survey/surveydatamanager.h"

#include "measurement/idatacontainer.h"

SurveyDataManager::SurveyDataManager(QObject* parent)
    : DataManager(parent)
{
}

void SurveyDataManager::prepare()
{
    Q_EMIT prepared();
}

void SurveyDataManager::beginRecord()
{
    m_xAxis.clear();
    m_series.clear();
    m_rowIds.clear();
    m_streams.clear();
    m_filled = 0;
    m_scrolled = 0;
    m_windowLength = 0;

    if (m_container) {
        const QVector<qint16> ids = m_container->channelIds();
        m_series.resize(m_container->channelCount());
        m_rowIds.insert(0, StreamId::Current);
        m_rowIds.insert(1, StreamId::Voltage);
        for (int k = 0; k < ids.size(); ++k)
            m_rowIds.insert(2 + k, ids[k]);
        for (auto it = m_rowIds.cbegin(); it != m_rowIds.cend(); ++it)
            m_streams.append(m_container->channelData(it.value()));

        m_windowLength = m_container->repeats() < ViewPeriods ? m_container->expectedSamples()
                                                               : ViewPeriods * m_container->periodSamples();
        m_windowLength = qMax(0, m_windowLength);
        m_xAxis.reserve(m_windowLength);
        for (int i = 0; i < m_windowLength; ++i)
            m_xAxis.append(i);
        for (QVector<double>& s : m_series)
            s.reserve(m_windowLength);
    }
    Q_EMIT started();
}

void SurveyDataManager::appendSample(int index)
{
    for (int k = 0; k < m_series.size(); ++k) {
        const QVector<float>* stream = m_streams.value(k);
        m_series[k].append(stream && index < stream->size() ? double(stream->at(index)) : 0.0);
    }
}

void SurveyDataManager::rebuildWindow(int firstIndex)
{
    m_xAxis.clear();
    for (QVector<double>& s : m_series)
        s.clear();
    for (int n = firstIndex; n < firstIndex + m_windowLength; ++n) {
        m_xAxis.append(n);
        appendSample(n);
    }
    m_scrolled = firstIndex;
}

void SurveyDataManager::updateData()
{
    if (!m_container)
        return;
    const int received = m_container->receivedSamples();
    bool changed = false;

    while (m_filled < m_windowLength && m_filled < received) {
        appendSample(m_filled);
        ++m_filled;
        changed = true;
    }

    if (m_filled >= m_windowLength && m_windowLength > 0) {
        const int shift = received - (m_windowLength + m_scrolled);
        const int toCome = m_container->expectedSamples() - m_windowLength - m_scrolled;
        if (shift > 0 && (shift >= ScrollStep || shift >= toCome)) {
            if (shift >= m_windowLength) {
                // More arrived than the window holds (the event loop was held up): show the latest samples.
                rebuildWindow(received - m_windowLength);
            } else {
                m_xAxis.remove(0, shift);
                for (QVector<double>& s : m_series)
                    s.remove(0, shift);
                for (int i = 0; i < shift; ++i) {
                    const int n = m_windowLength + m_scrolled;
                    m_xAxis.append(n);
                    appendSample(n);
                    ++m_scrolled;
                }
            }
            changed = true;
        }
    }

    if (changed)
        Q_EMIT updated();
}

bool SurveyDataManager::finishRecord()
{
    Q_EMIT completed();
    return true;
}

void SurveyDataManager::finishSequence()
{
    Q_EMIT allCompleted();
}

void SurveyDataManager::abortRun()
{
    Q_EMIT aborted();
}

void SurveyDataManager::resetSurveyData(const QVector<SurveyDatum>& existing, const DataFilter& filter)
{
    m_surveyData = existing;
    m_filter = filter;
    m_lastRecordFirst = 1;
    m_lastRecordLast = 0;
    m_recordCount = 0;
    for (const SurveyDatum& datum : existing)
        m_recordCount = qMax(m_recordCount, datum.record + 1);
    Q_EMIT surveyDataReset();
}

void SurveyDataManager::addRecordData(const QVector<SurveyDatum>& data)
{
    const int first = m_surveyData.size();
    for (SurveyDatum datum : data) {
        datum.record = m_recordCount;
        m_surveyData.append(datum);
    }
    ++m_recordCount;
    m_lastRecordFirst = first + 1;
    m_lastRecordLast = m_surveyData.size();
    Q_EMIT recordDataAdded(first);
}
