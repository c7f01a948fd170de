#ifndef QUADRUPOLELINE_H
#define QUADRUPOLELINE_H

// Electrode numbers of one measurement: current electrodes A, B and potential electrodes M, N.
// 0 means the electrode is absent (placed at infinity).
struct QuadrupoleLine
{
    int a = 0;
    int b = 0;
    int m = 0;
    int n = 0;
};

inline bool operator==(const QuadrupoleLine& l, const QuadrupoleLine& r)
{
    return l.a == r.a && l.b == r.b && l.m == r.m && l.n == r.n;
}

inline bool operator!=(const QuadrupoleLine& l, const QuadrupoleLine& r)
{
    return !(l == r);
}

#endif
