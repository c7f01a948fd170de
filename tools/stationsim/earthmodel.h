#ifndef EARTHMODEL_H
#define EARTHMODEL_H

// Potentials of point current sources at the surface of a two-layer earth: a top layer of
// resistivity rho1 and thickness h over a half-space of resistivity rho2. Electrodes lie on
// a straight surface line and are given by their position x along it, in metres. Equal
// resistivities, or a thickness of 0 or less, make a homogeneous half-space of the top
// resistivity, so EarthModel(rho) is a half-space of rho.
class EarthModel
{
public:
    EarthModel(double topResistivity = 100.0, double thickness = 0.0, double bottomResistivity = 100.0);

    double topResistivity() const { return m_topResistivity; }
    double thickness() const { return m_thickness; }
    double bottomResistivity() const { return m_bottomResistivity; }

    // Potential in volts at x for 1 A injected at sourceX; infinite when the two coincide.
    double potential(double sourceX, double x) const;
    // U_MN / I for +1 A into A and -1 A out of B. A position that is not finite is an
    // electrode at infinity and contributes nothing.
    double transferResistance(double a, double b, double m, double n) const;
    // K * |transferResistance|, K = 2*pi / |1/AM - 1/AN - 1/BM + 1/BN| (terms of an electrode at
    // infinity dropped): what a survey of this quadrupole reads as apparent resistivity, whatever
    // the order of M and N. Computed as 2*pi * R / S with the signed sum S, so a geometry whose
    // voltage has the opposite sign of S shows up negative. 0 when S is 0.
    double apparentResistivity(double a, double b, double m, double n) const;

    // The signed geometric sum 1/AM - 1/AN - 1/BM + 1/BN.
    static double geometricSum(double a, double b, double m, double n);

private:
    double m_topResistivity;
    double m_thickness;
    double m_bottomResistivity;
};

#endif
