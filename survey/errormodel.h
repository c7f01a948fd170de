#ifndef ERRORMODEL_H
#define ERRORMODEL_H

#include "survey/errorpair.h"

#include <QString>

// The error of a datum as the inversion weighs it. Fitted to reciprocal pairs, the model gives the
// expected |R - R'| of a pair at its |R|, in one of two forms:
// - linear: |dR| = a |R| + b, a relative error a plus an absolute one b (Ohm);
// - power law: |dR| = a |R|^b, fitted in log space.
// The pairs are sorted by |R| and binned (equal counts, at least PairsPerBin each, at most MaxBins
// bins); both forms are fitted to the bins' mean |dR| at their geometric mean |R| and the one whose
// bins lie closer in log space is kept. Without enough pairs the error is the record's deviation
// combined with a floor.
struct ErrorModel
{
    enum class Kind { Deviation, Linear, PowerLaw };
    // Where the data's errors come from when there is a choice.
    enum class Source { Reciprocal, Deviation };

    static constexpr int MinPairs = 10;
    static constexpr int PairsPerBin = 10;
    static constexpr int MaxBins = 20;
    // A slope needs more than two points to be told from a curve.
    static constexpr int MinPowerLawBins = 3;
    static constexpr double DefaultFloor = 2.0;  // percent

    Kind kind = Kind::Deviation;
    double a = 0.0;
    double b = 0.0;
    // Deviation: the error never below this, percent.
    double floor = DefaultFloor;
    // What the fit used: pairs and bins; RMS of the bins' natural-log misfit.
    int pairs = 0;
    int bins = 0;
    double misfit = 0.0;

    // Modelled |dR| at |R| = resistance, Ohm; NaN for the deviation model.
    double difference(double resistance) const;
    // The datum's relative error, a fraction: the model at its |R|, or its deviation with the floor.
    double relativeError(const SurveyDatum& datum) const;
    // A record's deviation combined with the floor (both percent), as a fraction: the two add as
    // independent errors, so the floor is all there is for a clean record. The inversion weighs
    // data without a model the same way.
    static double deviationError(double deviation, double floor = DefaultFloor);

    // Reciprocal pairs of ErrorPair::find() (repeats are skipped).
    static ErrorModel fit(const QVector<ErrorPair>& pairs);

    // "|ΔR| = 0.0210·|R| + 0.00100 Ом (пар 240, интервалов 20)"; translated: in the interface
    // language, otherwise the program's own wording for files.
    QString text(bool translated = true) const;

    // The operator's name of the source: "по взаимным измерениям", "по разбросу записи".
    static QString title(Source source);
    // "reciprocal", "deviation": the names on the command line.
    static QString name(Source source);
    static bool fromName(const QString& name, Source* source);
};

#endif
