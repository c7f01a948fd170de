#ifndef KEPTDATA_H
#define KEPTDATA_H

#include "survey/datafilter.h"
#include "survey/surveydatum.h"

#include <QVector>

// What the filter keeps of a survey's data while they grow record by record. A record's data are
// judged as they come; a reciprocal or a repeat that comes later can drop data kept before it (or
// keep data dropped before), and then the kept list changes as a whole, not only at its end.
class KeptData
{
public:
    void setFilter(const DataFilter& filter) { m_filter = filter; }

    // Judges all of `data` again; those before `first` were given before. Returns false when the
    // data kept of them are the same as before: `added` then gets the kept ones from `first` on.
    // True means the kept list changed before `first`: show kept() again as a whole.
    bool update(const QVector<SurveyDatum>& data, int first, QVector<SurveyDatum>* added);
    // Forgets what was judged before: kept() becomes the kept part of `data`.
    void reset(const QVector<SurveyDatum>& data);

    const QVector<SurveyDatum>& kept() const { return m_kept; }

private:
    DataFilter m_filter;
    // Per datum given: dropped by the filter.
    QVector<bool> m_dropped;
    QVector<SurveyDatum> m_kept;
};

#endif
