#include "survey/pseudosectionplacement.h"

#include "measurement/electrodeposition.h"

#include <cmath>

namespace {

struct Term
{
    double distance;
    double sign;
};

// Fraction of the signal, times the array's geometric sum, that comes from above `depth`: each
// current-potential pair at distance r contributes the integral of its 1-D sensitivity
// 4 z / (r^2 + 4 z^2)^(3/2) from 0 to depth, that is 1/r - 1/sqrt(r^2 + 4 depth^2).
double signalAbove(const Term* terms, int count, double depth)
{
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const double r = terms[i].distance;
        sum += terms[i].sign * (1.0 / r - 1.0 / std::sqrt(r * r + 4.0 * depth * depth));
    }
    return sum;
}

}

PseudosectionPlacement::Point PseudosectionPlacement::place(const double* a, const double* b, const double* m,
                                                            const double* n)
{
    Point point;
    double sumX = 0.0;
    int present = 0;
    for (const double* x : {a, b, m, n}) {
        if (x) {
            sumX += *x;
            ++present;
        }
    }
    if (present == 0)
        return point;
    point.x = sumX / present;

    Term terms[4];
    int count = 0;
    double scale = 0.0;
    const double* currents[2] = {a, b};
    const double* potentials[2] = {m, n};
    for (int c = 0; c < 2; ++c) {
        for (int p = 0; p < 2; ++p) {
            if (!currents[c] || !potentials[p])
                continue;
            const double r = std::fabs(*currents[c] - *potentials[p]);
            if (r == 0.0)
                return point;
            terms[count++] = Term{r, (c == p) ? 1.0 : -1.0};
            scale = std::fmax(scale, r);
        }
    }
    const double total = signalAbove(terms, count, HUGE_VAL);
    if (count == 0 || std::fabs(total) < 1e-12 / scale)
        return point;

    // The share of the signal grows from 0 at the surface to 1 at depth: bracket the half and bisect.
    const auto share = [&](double depth) { return signalAbove(terms, count, depth) / total; };
    double low = 0.0;
    double high = scale;
    for (int i = 0; i < 60 && share(high) < 0.5; ++i)
        high *= 2.0;
    for (int i = 0; i < 100 && high - low > 1e-9 * scale; ++i) {
        const double middle = 0.5 * (low + high);
        (share(middle) < 0.5 ? low : high) = middle;
    }
    point.depth = 0.5 * (low + high);
    point.valid = true;
    return point;
}

PseudosectionPlacement::Point PseudosectionPlacement::place(const SurveyDatum& datum)
{
    const QuadrupoleLine& e = datum.electrodes;
    const double a = datum.a.x, b = datum.b.x, m = datum.m.x, n = datum.n.x;
    return place(e.a != Electrodes::None ? &a : nullptr, e.b != Electrodes::None ? &b : nullptr,
                 e.m != Electrodes::None ? &m : nullptr, e.n != Electrodes::None ? &n : nullptr);
}
