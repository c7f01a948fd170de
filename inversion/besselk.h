#ifndef BESSELK_H
#define BESSELK_H

// Modified Bessel functions of the second kind K0 and K1 for x > 0 by the polynomial
// approximations of Abramowitz and Stegun (9.8.5 to 9.8.8), relative error below 1e-6: the forward
// solver evaluates them at every node for every source and wavenumber, where the library
// function is several times slower.
namespace BesselK {

double k0(double x);
double k1(double x);
// Both at once, sharing the logarithm and the exponential.
void k0k1(double x, double* k0, double* k1);
// K1(x) / K0(x), also where both underflow.
double ratio(double x);

} // namespace BesselK

#endif
