#ifndef ERRORPAIR_H
#define ERRORPAIR_H

#include "survey/surveydatum.h"

#include <QVector>

// Two data that measured the same thing: a datum and its reciprocal (current and potential
// electrodes swapped, A B M N and M N A B, which by reciprocity give the same resistance), or two
// records of one quadrupole (a repeat). Electrodes are matched by where they stand (within
// SurveyDatum::SamePlace), so the data of a merged line pair across its files whatever their
// numbers on the cable; swapping the two electrodes of a dipole only turns the sign of the
// resistance, which is taken into account.
struct ErrorPair
{
    enum class Kind { Reciprocal, Repeat };

    Kind kind = Kind::Reciprocal;
    // Indices in the list given to find().
    int first = -1;
    int second = -1;
    // |mean R| and |R - R'| of the two, Ohm, both in one sign convention.
    double resistance = 0.0;
    double difference = 0.0;

    // |R - R'| / |mean R|, a fraction.
    double relative() const { return difference / resistance; }

    // Only computed data pair. Reciprocals: the k-th record of a quadrupole with the k-th of its
    // reciprocal; repeats: each record with the one before of the same quadrupole. In the order
    // the later datum of each pair appears.
    static QVector<ErrorPair> find(const QVector<SurveyDatum>& data);
};

#endif
