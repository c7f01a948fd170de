#ifndef DATAFILTER_H
#define DATAFILTER_H

#include "survey/errormodel.h"
#include "survey/surveydatum.h"

#include <QString>

class QSettings;

// The rules that keep bad data out of the exports, the inversion and the pseudosection, and which
// errors the data carry. One set, kept in the settings store; a limit of 0 turns its rule off.
struct DataFilter
{
    enum Rule { ReciprocalError, Deviation, NonPositiveResistivity, LowCurrent };
    static constexpr int RuleCount = 4;

    static constexpr double DefaultMaxReciprocalError = 10.0;  // percent
    static constexpr double DefaultMaxDeviation = 0.0;         // percent
    static constexpr double DefaultMinCurrent = 0.0;           // mA
    static constexpr double HighestPercent = 1000.0;
    static constexpr double HighestCurrent = 10000.0;          // mA

    // Reciprocal error |R - R'| / |mean R| above this, percent.
    double maxReciprocalError = DefaultMaxReciprocalError;
    // The record's deviation above this, percent.
    double maxDeviation = DefaultMaxDeviation;
    // An apparent resistivity of zero or below.
    bool dropNonPositive = true;
    // |current| below this, mA.
    double minCurrent = DefaultMinCurrent;
    ErrorModel::Source errorSource = ErrorModel::Source::Reciprocal;

    bool enabled(Rule rule) const;
    // The rules the datum fails, bit (1 << Rule) each; reciprocalError is its relative reciprocal
    // error (a fraction), NaN without a reciprocal. A datum that was not computed fails none: it
    // has nothing to judge, and the exports leave it out on their own.
    int failed(const SurveyDatum& datum, double reciprocalError) const;
    // The rule with its limit: "взаимная погрешность выше 10 %"; translated as ErrorModel::text().
    QString describe(Rule rule, bool translated = true) const;

    // Values out of range are taken back into it; absent ones take the defaults.
    static DataFilter fromSettings(QSettings& settings);
    void save(QSettings& settings) const;
};

#endif
