// The forward solver against the analytic potentials of a half-space and a two-layer earth, the
// quadrature and the Bessel functions it rests on, topography, and the sensitivities against
// finite differences.

#include "inversion/besselk.h"
#include "inversion/forwardsolver.h"
#include "inversion/inversionmesh.h"
#include "inversion/wavenumbers.h"

#include <QtTest>

#include <cmath>
#include <vector>

namespace {

struct Array
{
    const char* name;
    std::vector<Quadrupole> quadrupoles;
};

// The four arrays on a line of `count` electrodes (indices 0-based).
std::vector<Array> arrays(int count)
{
    std::vector<Array> result;
    Array wenner{"Wenner", {}};
    for (int a = 1; 3 * a < count; ++a) {
        for (int i = 0; i + 3 * a < count; ++i)
            wenner.quadrupoles.push_back({i, i + 3 * a, i + a, i + 2 * a});
    }
    Array schlumberger{"Schlumberger", {}};
    for (int n = 1; n <= 10; ++n) {
        for (int i = 0; i + 2 * n + 1 < count; ++i)
            schlumberger.quadrupoles.push_back({i, i + 2 * n + 1, i + n, i + n + 1});
    }
    Array dipole{"dipole-dipole", {}};
    for (int a = 1; a <= 2; ++a) {
        for (int n = 1; n <= 8; ++n) {
            for (int i = 0; i + (n + 2) * a < count; ++i)
                dipole.quadrupoles.push_back({i, i + a, i + (n + 1) * a, i + (n + 2) * a});
        }
    }
    Array pole{"pole-dipole", {}};
    for (int n = 1; n <= 8; ++n) {
        for (int i = 0; i + n + 1 < count; ++i)
            pole.quadrupoles.push_back({i, Quadrupole::Remote, i + n, i + n + 1});
    }
    result.push_back(wenner);
    result.push_back(schlumberger);
    result.push_back(dipole);
    result.push_back(pole);
    return result;
}

// The potential of a 1 A surface source at distance r over a layer of resistivity rho1 and
// thickness h on a half-space of rho2, by the image series.
double twoLayerPotential(double rho1, double rho2, double h, double r)
{
    const double kappa = (rho2 - rho1) / (rho2 + rho1);
    double sum = 1.0;
    double power = 1.0;
    for (int n = 1; n < 400 && std::fabs(power) > 1e-14; ++n) {
        power *= kappa;
        sum += 2.0 * power / std::sqrt(1.0 + (2.0 * n * h / r) * (2.0 * n * h / r));
    }
    return rho1 / (2.0 * M_PI * r) * sum;
}

// The same quadrupole sum for any potential of distance.
template <typename Potential>
double transfer(const Quadrupole& q, const std::vector<double>& x, const std::vector<double>& z, Potential potential)
{
    double sum = 0.0;
    const int sources[2] = {q.a, q.b};
    const int receivers[2] = {q.m, q.n};
    for (int c = 0; c < 2; ++c) {
        for (int p = 0; p < 2; ++p) {
            if (sources[c] != Quadrupole::Remote && receivers[p] != Quadrupole::Remote)
                sum += (c == p ? 1.0 : -1.0)
                       * potential(std::hypot(x[sources[c]] - x[receivers[p]], z[sources[c]] - z[receivers[p]]));
        }
    }
    return sum;
}

}

class TestForward : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void besselAndQuadrature();
    void halfSpaceAndTwoLayers();
    void tiltedLine();
    void sensitivitiesAgainstDifferences();
};

void TestForward::besselAndQuadrature()
{
    for (double x = 1e-4; x < 60.0; x *= 1.05) {
        QVERIFY2(std::fabs(BesselK::k0(x) / std::cyl_bessel_k(0.0, x) - 1.0) < 1e-6, qPrintable(QString::number(x)));
        QVERIFY2(std::fabs(BesselK::k1(x) / std::cyl_bessel_k(1.0, x) - 1.0) < 1e-6, qPrintable(QString::number(x)));
    }
    // The wavenumber rule integrates (2/pi) int K0(k r) dk = 1/r over the survey's distances far
    // better than the accuracy asked of the potentials.
    for (double rMax : {10.0, 47.0, 235.0}) {
        const Wavenumbers rule = Wavenumbers::forDistances(1.0, rMax);
        for (double r = 1.0; r <= rMax; r *= 1.01)
            QVERIFY2(std::fabs(rule.inverseDistance(r) * r - 1.0) < 1e-4, qPrintable(QString("%1 %2").arg(rMax).arg(r)));
    }
}

void TestForward::halfSpaceAndTwoLayers()
{
    const int count = 48;
    std::vector<double> x, z(count, 0.0);
    for (int i = 0; i < count; ++i)
        x.push_back(i);
    const InversionMesh mesh = InversionMesh::build(x, z, 12.0);
    ForwardSolver solver(mesh);

    // Half-space of 100 Ohm.m.
    QVERIFY(solver.solve(std::vector<double>(size_t(mesh.cellCount()), 0.01)));
    for (const Array& array : arrays(count)) {
        double worst = 0.0;
        for (const Quadrupole& q : array.quadrupoles) {
            const double exact = transfer(q, x, z, [](double r) { return 100.0 / (2.0 * M_PI * r); });
            worst = std::max(worst, std::fabs(solver.resistance(q) / exact - 1.0));
        }
        qDebug() << "half-space" << array.name << worst;
        QVERIFY2(worst < 0.005, array.name);
    }

    // Two layers, both ways round; the interface on a layer boundary of the mesh.
    for (double rho2 : {400.0, 25.0}) {
        int layer = 0;
        while (mesh.nodeZ(mesh.node(0, layer)) > -2.0)
            ++layer;
        const double h = -mesh.nodeZ(mesh.node(0, layer));
        std::vector<double> sigma(size_t(mesh.cellCount()));
        for (int c = 0; c < mesh.cellCount(); ++c)
            sigma[c] = c / mesh.columns() < layer ? 0.01 : 1.0 / rho2;
        QVERIFY(solver.solve(sigma));
        for (const Array& array : arrays(count)) {
            double worst = 0.0;
            for (const Quadrupole& q : array.quadrupoles) {
                const double exact = transfer(q, x, z, [&](double r) { return twoLayerPotential(100.0, rho2, h, r); });
                worst = std::max(worst, std::fabs(solver.resistance(q) / exact - 1.0));
            }
            qDebug() << "two layers" << rho2 << array.name << worst;
            QVERIFY2(worst < 0.01, array.name);
        }
    }
}

void TestForward::tiltedLine()
{
    // A flat line tilted as a whole by 15 degrees over a uniform ground: the same apparent
    // resistivities as the flat line, the topography entering through the mesh alone.
    const int count = 48;
    const double angle = 15.0 * M_PI / 180.0;
    std::vector<double> x, z;
    for (int i = 0; i < count; ++i) {
        x.push_back(i * std::cos(angle));
        z.push_back(i * std::sin(angle) + 250.0);
    }
    const InversionMesh mesh = InversionMesh::build(x, z, 12.0);
    ForwardSolver solver(mesh);
    QVERIFY(solver.solve(std::vector<double>(size_t(mesh.cellCount()), 0.01)));
    for (const Array& array : arrays(count)) {
        double worst = 0.0;
        for (const Quadrupole& q : array.quadrupoles) {
            const double exact = transfer(q, x, z, [](double r) { return 100.0 / (2.0 * M_PI * r); });
            worst = std::max(worst, std::fabs(solver.resistance(q) / exact - 1.0));
        }
        QVERIFY2(worst < 0.005, array.name);
    }
}

void TestForward::sensitivitiesAgainstDifferences()
{
    // A small line over a layered ground with a block, so that the fields are not those of the
    // half-space the singularity removal starts from.
    const int count = 12;
    std::vector<double> x, z(count, 0.0);
    for (int i = 0; i < count; ++i)
        x.push_back(2.0 * i);
    InversionMesh::Options coarse;
    coarse.paddingGrowth = 2.0;
    const InversionMesh mesh = InversionMesh::build(x, z, 4.0, coarse);
    std::vector<double> sigma(size_t(mesh.cellCount()));
    for (int c = 0; c < mesh.cellCount(); ++c)
        sigma[c] = (c / mesh.columns() > 4 ? 0.05 : 0.01) * (c % 7 == 3 ? 2.0 : 1.0);
    ForwardSolver solver(mesh);
    QVERIFY(solver.solve(sigma, true));
    const std::vector<Quadrupole> quadrupoles{{0, 1, 2, 3}, {2, 5, 3, 4}, {1, Quadrupole::Remote, 4, 6}, {0, 11, 5, 6}};
    const Eigen::MatrixXd analytic = solver.sensitivities(quadrupoles);
    std::vector<double> base;
    for (const Quadrupole& q : quadrupoles)
        base.push_back(solver.resistance(q));
    const int first = mesh.firstParameterColumn();
    for (const int c : {mesh.cell(first + 3, 1), mesh.cell(first + 8, 3), mesh.cell(first + 12, 5), mesh.cell(first - 2, 2)}) {
        std::vector<double> changed = sigma;
        const double step = 1e-4 * sigma[c];
        changed[c] += step;
        QVERIFY(solver.solve(changed));
        for (size_t i = 0; i < quadrupoles.size(); ++i) {
            const double difference = (solver.resistance(quadrupoles[i]) - base[i]) / step;
            QVERIFY2(std::fabs(analytic(int(i), c) / difference - 1.0) < 0.01,
                     qPrintable(QString("cell %1 datum %2: %3 against %4").arg(c).arg(i).arg(analytic(int(i), c)).arg(difference)));
        }
    }
}

QTEST_GUILESS_MAIN(TestForward)
#include "tst_forward.moc"
