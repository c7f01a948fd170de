#include "inversion/forwardsolver.h"

#include "inversion/besselk.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double TwoPi = 2.0 * M_PI;

// Position of entry (row, column), row >= column, in a compressed column matrix.
int slotOf(const Eigen::SparseMatrix<double>& matrix, int row, int column)
{
    const int* begin = matrix.innerIndexPtr() + matrix.outerIndexPtr()[column];
    const int* end = matrix.innerIndexPtr() + matrix.outerIndexPtr()[column + 1];
    const int* found = std::lower_bound(begin, end, row);
    return int(found - matrix.innerIndexPtr());
}

// The mixed-condition coefficient k K1(kr)/K0(kr) cos(theta) at a boundary point, distances from
// the line's middle.
double robin(const InversionMesh& mesh, double k, double x, double z, double normalX, double normalZ)
{
    const double dx = x - mesh.centreX();
    const double dz = z - mesh.centreZ();
    const double r = std::hypot(dx, dz);
    return k * BesselK::ratio(k * r) * (dx * normalX + dz * normalZ) / r;
}

// The four nodal values of a cell, one column per electrode.
using CellValues = Eigen::Matrix<double, 4, Eigen::Dynamic>;

}

ForwardSolver::ForwardSolver(const InversionMesh& mesh, SparseCholesky::Method method)
    : m_mesh(mesh)
    , m_cholesky(method)
{
    const int electrodes = mesh.electrodeCount();
    double rMin = HUGE_VAL, rMax = 0.0;
    for (int s = 0; s < electrodes; ++s) {
        for (int r = s + 1; r < electrodes; ++r) {
            const int a = mesh.electrodeNode(s), b = mesh.electrodeNode(r);
            const double d = std::hypot(mesh.nodeX(a) - mesh.nodeX(b), mesh.nodeZ(a) - mesh.nodeZ(b));
            rMin = std::min(rMin, d);
            rMax = std::max(rMax, d);
        }
    }
    if (!(rMin < HUGE_VAL))
        rMin = rMax = mesh.spacing();
    m_wavenumbers = Wavenumbers::forDistances(rMin, rMax);

    // The pattern: every pair of nodes that share a cell, lower triangle.
    std::vector<Eigen::Triplet<double>> entries;
    for (int c = 0; c < mesh.cellCount(); ++c) {
        const std::array<int, 4> nodes = mesh.cellNodes(c);
        for (int a = 0; a < 4; ++a) {
            for (int b = 0; b < 4; ++b) {
                if (nodes[a] >= nodes[b])
                    entries.emplace_back(nodes[a], nodes[b], 0.0);
            }
        }
    }
    m_matrix.resize(mesh.nodeCount(), mesh.nodeCount());
    m_matrix.setFromTriplets(entries.begin(), entries.end());
    m_matrix.makeCompressed();
    m_cellSlots.resize(size_t(mesh.cellCount()));
    for (int c = 0; c < mesh.cellCount(); ++c) {
        const std::array<int, 4> nodes = mesh.cellNodes(c);
        for (int a = 0; a < 4; ++a) {
            for (int b = 0; b < 4; ++b)
                m_cellSlots[c][a * 4 + b] = nodes[a] >= nodes[b] ? slotOf(m_matrix, nodes[a], nodes[b]) : -1;
        }
    }
    for (const InversionMesh::Edge& edge : mesh.boundary()) {
        const int low = std::min(edge.node0, edge.node1), high = std::max(edge.node0, edge.node1);
        m_edgeSlots.push_back({slotOf(m_matrix, edge.node0, edge.node0), slotOf(m_matrix, edge.node1, edge.node1),
                               slotOf(m_matrix, high, low), 0});
    }
    m_cholesky.analyse(m_matrix);

    // The parts of each wavenumber's right-hand side that no model changes: the Bessel potential
    // K0(k r) of every source at every node, and (div(grad) - k^2) of the primary potential with
    // the flux the boundary does not take, both of a unit-conductivity half-space. At the source
    // node itself, where the primary potential is infinite, its value at a small distance stands
    // in (it matters only where the model departs from the half-space next to the source).
    const int electrodeCount = mesh.electrodeCount();
    std::vector<double> nearDistance(static_cast<size_t>(electrodeCount));
    for (int s = 0; s < electrodeCount; ++s) {
        const int column = mesh.electrodeNode(s);
        double width = 0.0;
        int count = 0;
        for (int c : {column - 1, column}) {
            if (c >= 0 && c < mesh.columns()) {
                width += mesh.nodeX(c + 1) - mesh.nodeX(c);
                ++count;
            }
        }
        nearDistance[s] = 0.25 * width / count;
    }
    const double g = 0.5 / std::sqrt(3.0);
    Eigen::SparseMatrix<double> unit = m_matrix;
    for (const double k : m_wavenumbers.k) {
        Eigen::MatrixXd bessel(mesh.nodeCount(), electrodeCount);
        for (int s = 0; s < electrodeCount; ++s) {
            const int source = mesh.electrodeNode(s);
            const double xs = mesh.nodeX(source), zs = mesh.nodeZ(source);
            for (int n = 0; n < mesh.nodeCount(); ++n) {
                const double r = std::hypot(mesh.nodeX(n) - xs, mesh.nodeZ(n) - zs);
                bessel(n, s) = BesselK::k0(k * (n == source ? nearDistance[s] : r));
            }
        }
        assemble({}, k, &unit);
        Eigen::MatrixXd fixed = unit.selfadjointView<Eigen::Lower>() * bessel * (1.0 / TwoPi);
        for (const InversionMesh::Edge& edge : mesh.boundary()) {
            const double x0 = mesh.nodeX(edge.node0), z0 = mesh.nodeZ(edge.node0);
            const double x1 = mesh.nodeX(edge.node1), z1 = mesh.nodeZ(edge.node1);
            const double length = std::hypot(x1 - x0, z1 - z0);
            for (double t : {0.5 - g, 0.5 + g}) {
                const double px = x0 + t * (x1 - x0), pz = z0 + t * (z1 - z0);
                const double beta = edge.surface ? 0.0 : robin(mesh, k, px, pz, edge.normalX, edge.normalZ);
                for (int s = 0; s < electrodeCount; ++s) {
                    const int source = mesh.electrodeNode(s);
                    const double dx = px - mesh.nodeX(source), dz = pz - mesh.nodeZ(source);
                    const double r = std::hypot(dx, dz);
                    const double cosine = (dx * edge.normalX + dz * edge.normalZ) / r;
                    if (edge.surface && std::fabs(cosine) < 1e-12)
                        continue;
                    double k0, k1;
                    BesselK::k0k1(k * r, &k0, &k1);
                    const double flux = (-k * k1 * cosine + beta * k0) / TwoPi * 0.5 * length;
                    fixed(edge.node0, s) -= flux * (1.0 - t);
                    fixed(edge.node1, s) -= flux * t;
                }
            }
        }
        m_bessel.push_back(std::move(bessel));
        m_fixedRhs.push_back(std::move(fixed));
    }
}

void ForwardSolver::assemble(const std::vector<double>& conductivity, double k, Eigen::SparseMatrix<double>* matrix) const
{
    double* values = matrix->valuePtr();
    std::fill(values, values + matrix->nonZeros(), 0.0);
    const double k2 = k * k;
    for (int c = 0; c < m_mesh.cellCount(); ++c) {
        const double sigma = conductivity.empty() ? 1.0 : conductivity[c];
        const std::array<double, 16>& stiffness = m_mesh.stiffness(c);
        const std::array<double, 16>& mass = m_mesh.mass(c);
        const std::array<int, 16>& slots = m_cellSlots[c];
        for (int i = 0; i < 16; ++i) {
            if (slots[i] >= 0)
                values[slots[i]] += sigma * (stiffness[i] + k2 * mass[i]);
        }
    }
    // int sigma beta phi_a phi_b over the outer edges, two Gauss points.
    const double g = 0.5 / std::sqrt(3.0);
    const std::vector<InversionMesh::Edge>& edges = m_mesh.boundary();
    for (size_t e = 0; e < edges.size(); ++e) {
        const InversionMesh::Edge& edge = edges[e];
        if (edge.surface)
            continue;
        const double sigma = conductivity.empty() ? 1.0 : conductivity[edge.cell];
        const double x0 = m_mesh.nodeX(edge.node0), z0 = m_mesh.nodeZ(edge.node0);
        const double x1 = m_mesh.nodeX(edge.node1), z1 = m_mesh.nodeZ(edge.node1);
        const double length = std::hypot(x1 - x0, z1 - z0);
        double m00 = 0.0, m11 = 0.0, m01 = 0.0;
        for (double t : {0.5 - g, 0.5 + g}) {
            const double beta = robin(m_mesh, k, x0 + t * (x1 - x0), z0 + t * (z1 - z0), edge.normalX, edge.normalZ);
            const double w = 0.5 * length * sigma * beta;
            m00 += w * (1.0 - t) * (1.0 - t);
            m11 += w * t * t;
            m01 += w * t * (1.0 - t);
        }
        values[m_edgeSlots[e][0]] += m00;
        values[m_edgeSlots[e][1]] += m11;
        values[m_edgeSlots[e][2]] += m01;
    }
}

bool ForwardSolver::solve(const std::vector<double>& conductivity, bool keepFields, const std::atomic<bool>* cancel)
{
    if (int(conductivity.size()) != m_mesh.cellCount())
        return false;
    for (double sigma : conductivity) {
        if (!(sigma > 0.0 && std::isfinite(sigma)))
            return false;
    }
    const int electrodes = m_mesh.electrodeCount();
    const int columns = m_mesh.columns();

    // Each source's half-space: the mean conductivity of the two top cells it touches.
    m_reference.assign(size_t(electrodes), 0.0);
    for (int s = 0; s < electrodes; ++s) {
        const int column = m_mesh.electrodeNode(s);
        double sum = 0.0;
        int count = 0;
        for (int c : {column - 1, column}) {
            if (c >= 0 && c < columns) {
                sum += conductivity[m_mesh.cell(c, 0)];
                ++count;
            }
        }
        m_reference[s] = sum / count;
    }

    m_potential = Eigen::MatrixXd::Zero(electrodes, electrodes);
    // The fields' storage is kept from run to run: fresh pages cost more than the copying.
    m_fields.resize(keepFields ? m_wavenumbers.k.size() : 0);
    m_adjoints.resize(m_fields.size());
    Eigen::MatrixXd& primary = m_primary;
    Eigen::MatrixXd& rhs = m_rhs;
    for (size_t q = 0; q < m_wavenumbers.k.size(); ++q) {
        if (cancel && cancel->load())
            return false;
        assemble(conductivity, m_wavenumbers.k[q], &m_matrix);
        if (!m_cholesky.factorise(m_matrix))
            return false;
        primary = m_bessel[q];
        for (int s = 0; s < electrodes; ++s)
            primary.col(s) *= 1.0 / (TwoPi * m_reference[s]);
        rhs = m_fixedRhs[q];
        rhs.noalias() -= m_matrix.selfadjointView<Eigen::Lower>() * primary;

        m_cholesky.solve(&rhs);
        const double weight = 2.0 / M_PI * m_wavenumbers.weight[q];
        for (int s = 0; s < electrodes; ++s) {
            for (int r = 0; r < electrodes; ++r)
                m_potential(r, s) += weight * rhs(m_mesh.electrodeNode(r), s);
        }
        if (keepFields) {
            m_fields[q] = primary + rhs;
            Eigen::MatrixXd& adjoint = m_rhs;
            adjoint.setZero();
            for (int e = 0; e < electrodes; ++e)
                adjoint(m_mesh.electrodeNode(e), e) = 1.0;
            m_cholesky.solve(&adjoint);
            m_adjoints[q] = adjoint;
        }
    }
    for (int s = 0; s < electrodes; ++s) {
        const int source = m_mesh.electrodeNode(s);
        for (int r = 0; r < electrodes; ++r) {
            if (r == s)
                continue;
            const int receiver = m_mesh.electrodeNode(r);
            const double d = std::hypot(m_mesh.nodeX(receiver) - m_mesh.nodeX(source),
                                        m_mesh.nodeZ(receiver) - m_mesh.nodeZ(source));
            m_potential(r, s) += 1.0 / (TwoPi * m_reference[s] * d);
        }
    }
    return true;
}

double ForwardSolver::resistance(const Quadrupole& q) const
{
    return resistance(m_potential, q);
}

double ForwardSolver::resistance(const Eigen::MatrixXd& potentials, const Quadrupole& q)
{
    double sum = 0.0;
    const int sources[2] = {q.a, q.b};
    const int receivers[2] = {q.m, q.n};
    for (int c = 0; c < 2; ++c) {
        for (int p = 0; p < 2; ++p) {
            if (sources[c] != Quadrupole::Remote && receivers[p] != Quadrupole::Remote)
                sum += (c == p ? 1.0 : -1.0) * potentials(receivers[p], sources[c]);
        }
    }
    return sum;
}

Eigen::MatrixXd ForwardSolver::sensitivities(const std::vector<Quadrupole>& quadrupoles) const
{
    const int count = int(quadrupoles.size());
    Eigen::MatrixXd result = Eigen::MatrixXd::Zero(count, m_mesh.cellCount());
    if (m_fields.empty())
        return result;

    // Cell by cell, so that the nodal values of every electrode's field and adjoint stay in the
    // cache while every quadrupole takes its share; a column of zeros stands for the remote.
    const int electrodes = m_mesh.electrodeCount();
    const auto column = [electrodes](int e) { return e == Quadrupole::Remote ? electrodes : e; };
    std::vector<std::array<int, 4>> columns(quadrupoles.size());
    for (int i = 0; i < count; ++i) {
        const Quadrupole& q = quadrupoles[size_t(i)];
        columns[size_t(i)] = {column(q.a), column(q.b), column(q.m), column(q.n)};
    }
    CellValues field = CellValues::Zero(4, electrodes + 1);
    CellValues adjoint(4, electrodes);
    CellValues weighted = CellValues::Zero(4, electrodes + 1);
    Eigen::VectorXd sum(count);
    for (int c : m_mesh.sensitiveCells()) {
        const std::array<int, 4> nodes = m_mesh.cellNodes(c);
        const Eigen::Map<const Eigen::Matrix<double, 4, 4, Eigen::RowMajor>> stiffness(m_mesh.stiffness(c).data());
        const Eigen::Map<const Eigen::Matrix<double, 4, 4, Eigen::RowMajor>> mass(m_mesh.mass(c).data());
        sum.setZero();
        for (size_t q = 0; q < m_fields.size(); ++q) {
            for (int a = 0; a < 4; ++a) {
                field.row(a).head(electrodes) = m_fields[q].row(nodes[a]);
                adjoint.row(a) = m_adjoints[q].row(nodes[a]);
            }
            const double k2 = m_wavenumbers.k[q] * m_wavenumbers.k[q];
            const Eigen::Matrix4d element = (-2.0 / M_PI * m_wavenumbers.weight[q]) * (stiffness + k2 * mass);
            weighted.leftCols(electrodes).noalias() = element * adjoint;
            for (int i = 0; i < count; ++i) {
                const std::array<int, 4>& e = columns[size_t(i)];
                sum(i) += (field.col(e[0]) - field.col(e[1])).dot(weighted.col(e[2]) - weighted.col(e[3]));
            }
        }
        result.col(c) = sum;
    }
    return result;
}
