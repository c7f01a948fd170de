#include "survey/keptdata.h"

#include "survey/dataerrors.h"

bool KeptData::update(const QVector<SurveyDatum>& data, int first, QVector<SurveyDatum>* added)
{
    const DataErrors errors = DataErrors::analyse(data, m_filter);
    QVector<bool> dropped(data.size());
    for (int i = 0; i < data.size(); ++i)
        dropped[i] = errors.dropped(i);
    const bool changed = first > m_dropped.size() || dropped.mid(0, first) != m_dropped.mid(0, first);
    m_dropped = dropped;
    added->clear();
    if (changed) {
        m_kept = errors.kept(data);
        return true;
    }
    for (int i = first; i < data.size(); ++i) {
        if (!dropped.at(i))
            added->append(data.at(i));
    }
    m_kept += *added;
    return false;
}

void KeptData::reset(const QVector<SurveyDatum>& data)
{
    QVector<SurveyDatum> added;
    m_dropped.clear();
    m_kept.clear();
    update(data, 0, &added);
}
