#ifndef WAVENUMBERS_H
#define WAVENUMBERS_H

#include <vector>

// The wavenumbers of a 2.5-D computation and the weights that turn the transformed potentials
// back into a potential on the line: U = (2/pi) sum w_i U~(k_i). The wavenumbers are spaced
// evenly in log k from 0.3 / r_max to 6 / r_min and the weights fitted by least squares so that
// the rule integrates the half-space potential (2/pi) int K0(k r) dk = 1/r over the survey's
// distances: Gauss rules on a split interval need about twice as many points for the same
// accuracy over a range of distances of 50.
struct Wavenumbers
{
    std::vector<double> k;
    std::vector<double> weight;

    // For potentials between distances rMin and rMax (0 < rMin <= rMax).
    static Wavenumbers forDistances(double rMin, double rMax);
    // The rule's own estimate of 1/r: (2/pi) sum w_i K0(k_i r).
    double inverseDistance(double r) const;
};

#endif
