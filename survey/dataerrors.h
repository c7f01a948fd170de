#ifndef DATAERRORS_H
#define DATAERRORS_H

#include "survey/datafilter.h"
#include "survey/errormodel.h"
#include "survey/errorpair.h"
#include "survey/surveydatum.h"

#include <QStringList>
#include <QVector>

// What the reciprocals and repeats of a list of data say about its errors, and what the filter
// makes of it: the pairs, each datum's reciprocal error and the rules it fails, the error model
// fitted to the reciprocal pairs the filter keeps, and each datum's error from the model the
// filter asks for. The exports, the viewer's error view, the survey report, the pseudosection
// and the inversion all take their errors and their data from here.
class DataErrors
{
public:
    DataErrors() = default;
    static DataErrors analyse(const QVector<SurveyDatum>& data, const DataFilter& filter);

    const DataFilter& filter() const { return m_filter; }
    const QVector<ErrorPair>& pairs() const { return m_pairs; }
    int pairCount(ErrorPair::Kind kind) const;
    // Fitted to the reciprocal pairs whose data are kept (the deviation model when too few).
    const ErrorModel& fitted() const { return m_fitted; }
    // The one the data's errors come from: the fitted one, or the deviation model when the filter
    // asks for it or no model could be fitted.
    const ErrorModel& model() const { return m_model; }

    int size() const { return m_failed.size(); }
    // Relative reciprocal error of datum i, a fraction; NaN without a reciprocal.
    double reciprocalError(int i) const { return m_reciprocalError.at(i); }
    // The rules datum i fails (DataFilter::failed()); dropped when any.
    int failed(int i) const { return m_failed.at(i); }
    bool dropped(int i) const { return m_failed.at(i) != 0; }
    // Relative error of datum i from model(), a fraction.
    double relativeError(int i) const { return m_relativeError.at(i); }
    // Data failing the rule (a datum failing two counts for both) and data dropped at all.
    int droppedBy(DataFilter::Rule rule) const { return m_droppedBy[rule]; }
    int droppedCount() const { return m_droppedCount; }
    // Of the relative errors of the pairs of that kind, a fraction; NaN without pairs.
    double percentile(ErrorPair::Kind kind, double fraction) const;

    // The data the filter keeps, in their order, and their relative errors.
    QVector<SurveyDatum> kept(const QVector<SurveyDatum>& data) const;
    QVector<double> keptErrors() const;

    // The survey report's section: reciprocal and repeat pairs, their median and 90th percentile,
    // the fitted model; translated as ErrorModel::text().
    QStringList summary(bool translated = true) const;

private:
    DataFilter m_filter;
    QVector<ErrorPair> m_pairs;
    ErrorModel m_fitted;
    ErrorModel m_model;
    QVector<double> m_reciprocalError;
    QVector<int> m_failed;
    QVector<double> m_relativeError;
    int m_droppedBy[DataFilter::RuleCount] = {};
    int m_droppedCount = 0;
};

#endif
