#ifndef SEQUENCESTEP_H
#define SEQUENCESTEP_H

#include <QVector>

// One potential pair measured by one channel.
struct MnPair
{
    int m = 0;
    int n = 0;
};

// One current injection A B with the potential pairs measured at the same time.
struct SequenceStep
{
    int maxPairs = 0;
    int a = 0;
    int b = 0;
    QVector<MnPair> pairs;
};

#endif
