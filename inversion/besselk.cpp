#include "inversion/besselk.h"

#include <cmath>

namespace {

void small(double x, double* k0, double* k1)
{
    const double t = (x / 3.75) * (x / 3.75);
    const double i0 = 1.0 + t * (3.5156229 + t * (3.0899424 + t * (1.2067492 + t * (0.2659732 + t * (0.0360768 + t * 0.0045813)))));
    const double i1 = x * (0.5 + t * (0.87890594 + t * (0.51498869 + t * (0.15084934 + t * (0.02658733 + t * (0.00301532 + t * 0.00032411))))));
    const double y = 0.25 * x * x;
    const double l = std::log(0.5 * x);
    *k0 = -l * i0
          + (-0.57721566 + y * (0.42278420 + y * (0.23069756 + y * (0.03488590 + y * (0.00262698 + y * (0.00010750 + y * 0.0000074))))));
    *k1 = l * i1
          + (1.0 + y * (0.15443144 + y * (-0.67278579 + y * (-0.18156897 + y * (-0.01919402 + y * (-0.00110404 + y * (-0.00004686)))))))
                / x;
}

// The polynomial factors of K0 and K1 without exp(-x) / sqrt(x).
void largeFactors(double x, double* k0, double* k1)
{
    const double y = 2.0 / x;
    *k0 = (1.25331414 + y * (-0.07832358 + y * (0.02189568 + y * (-0.01062446 + y * (0.00587872 + y * (-0.00251540 + y * 0.00053208))))));
    *k1 = (1.25331414 + y * (0.23498619 + y * (-0.03655620 + y * (0.01504268 + y * (-0.00780353 + y * (0.00325614 + y * (-0.00068245)))))));
}

void large(double x, double* k0, double* k1)
{
    // Beyond 700 the values would go through denormal numbers, which are slow and of no use.
    if (x > 700.0) {
        *k0 = *k1 = 0.0;
        return;
    }
    largeFactors(x, k0, k1);
    const double s = std::exp(-x) / std::sqrt(x);
    *k0 *= s;
    *k1 *= s;
}

}

void BesselK::k0k1(double x, double* k0, double* k1)
{
    if (x <= 2.0)
        small(x, k0, k1);
    else
        large(x, k0, k1);
}

double BesselK::k0(double x)
{
    double a, b;
    k0k1(x, &a, &b);
    return a;
}

double BesselK::k1(double x)
{
    double a, b;
    k0k1(x, &a, &b);
    return b;
}

double BesselK::ratio(double x)
{
    double a, b;
    if (x <= 2.0)
        small(x, &a, &b);
    else
        largeFactors(x, &a, &b);
    return b / a;
}
