#ifndef GROUNDMODEL_H
#define GROUNDMODEL_H

#include "inversion/forwardsolver.h"
#include "inversion/inversionmesh.h"

#include <QString>
#include <QVector>

#include <vector>

// A ground of rectangles of their own resistivity and chargeability in a background, read from a
// text file:
//     background RHO [ETA]
//     rect X0 X1 Z0 Z1 RHO [ETA]
// x along the line and depths below the surface in metres (Z0 < Z1, positive downward),
// resistivity in ohm-m, chargeability as a fraction (0.05 = 5 %, default 0); '#' starts a comment.
// Where rectangles overlap, the later one holds. Its potentials come from the inversion's
// finite-element solver on a mesh finer than the inversion's own, solved once for every
// electrode as a source; the chargeability is Seigel's: the fully polarised ground has the
// conductivity sigma (1 - eta), and a quadrupole reads ma = 1 - R(sigma) / R(sigma (1 - eta)).
class GroundModel
{
public:
    struct Rect
    {
        double x0, x1, top, bottom;
        double resistivity;
        double chargeability;
    };

    // False with the reason, "line N: ...", for a text that is not a ground.
    bool parse(const QString& text, QString* error);
    bool load(const QString& path, QString* error);

    double backgroundResistivity() const { return m_background.resistivity; }
    double backgroundChargeability() const { return m_background.chargeability; }
    const QVector<Rect>& rects() const { return m_rects; }
    // The rectangle (or the background) that holds a point `depth` metres below the surface.
    const Rect& at(double x, double depth) const;

    // Computes the potentials of electrodes at x (ascending, distinct) with heights z. False when
    // the solver fails.
    bool solve(const std::vector<double>& x, const std::vector<double>& z);
    int electrodeCount() const { return m_electrodes; }
    int meshCells() const { return m_meshCells; }
    int meshNodes() const { return m_meshNodes; }

    // U_MN / I of the polarised ground (what the station reads at the end of a long pulse), ohms;
    // electrodes by their index in solve()'s list, Quadrupole::Remote at infinity.
    double transferResistance(const Quadrupole& q) const;
    // Seigel's apparent chargeability of a quadrupole, fraction.
    double apparentChargeability(const Quadrupole& q) const;

private:
    // Per mesh cell, the mean conductivity of the ground inside it, plain or fully polarised.
    std::vector<double> conductivities(const InversionMesh& mesh, bool polarised) const;

    Rect m_background{0.0, 0.0, 0.0, 0.0, 100.0, 0.0};
    QVector<Rect> m_rects;
    int m_electrodes = 0;
    int m_meshCells = 0;
    int m_meshNodes = 0;
    // Receiver x source, as ForwardSolver::potentials(); the polarised ones empty when nothing
    // is chargeable.
    Eigen::MatrixXd m_plain;
    Eigen::MatrixXd m_polarised;
};

#endif
