#include "inversion/forwardsolver.h"

#include "inversion/besselk.h"

#include <QHash>

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

// Where the cell pairs of a quadrupole are kept for one wavenumber: per cell its four nodal values.
using CellValues = Eigen::Matrix<double, 4, Eigen::Dynamic>;

quint64 pairKey(int first, int second)
{
    return (quint64(quint32(first + 1)) << 32) | quint32(second + 1);
}

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
    m_unitMatrix = m_matrix;
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
    const int nodes = m_mesh.nodeCount();
    const int columns = m_mesh.columns();

    // Each source's half-space: the mean conductivity of the two top cells it touches; at the
    // source node itself, where the primary potential is infinite, its value at a small distance
    // stands in (it matters only where the model departs from that half-space next to the source).
    m_reference.assign(size_t(electrodes), 0.0);
    std::vector<double> nearDistance(static_cast<size_t>(electrodes));
    for (int s = 0; s < electrodes; ++s) {
        const int column = m_mesh.electrodeNode(s);
        double sum = 0.0, width = 0.0;
        int count = 0;
        for (int c : {column - 1, column}) {
            if (c >= 0 && c < columns) {
                sum += conductivity[m_mesh.cell(c, 0)];
                width += m_mesh.nodeX(c + 1) - m_mesh.nodeX(c);
                ++count;
            }
        }
        m_reference[s] = sum / count;
        nearDistance[s] = 0.25 * width / count;
    }

    m_potential = Eigen::MatrixXd::Zero(electrodes, electrodes);
    m_fields.clear();
    m_adjoints.clear();
    if (keepFields) {
        m_fields.resize(m_wavenumbers.k.size());
        m_adjoints.resize(m_wavenumbers.k.size());
    }
    Eigen::MatrixXd primary(nodes, electrodes);
    Eigen::MatrixXd rhs(nodes, electrodes);
    const double g = 0.5 / std::sqrt(3.0);
    for (size_t q = 0; q < m_wavenumbers.k.size(); ++q) {
        if (cancel && cancel->load())
            return false;
        const double k = m_wavenumbers.k[q];
        assemble(conductivity, k, &m_matrix);
        assemble({}, k, &m_unitMatrix);
        if (!m_cholesky.factorise(m_matrix))
            return false;

        for (int s = 0; s < electrodes; ++s) {
            const int source = m_mesh.electrodeNode(s);
            const double xs = m_mesh.nodeX(source), zs = m_mesh.nodeZ(source);
            const double scale = 1.0 / (TwoPi * m_reference[s]);
            double* column = primary.col(s).data();
            for (int n = 0; n < nodes; ++n) {
                const double r = std::hypot(m_mesh.nodeX(n) - xs, m_mesh.nodeZ(n) - zs);
                column[n] = scale * BesselK::k0(k * (n == source ? nearDistance[s] : r));
            }
        }
        rhs.noalias() = m_unitMatrix.selfadjointView<Eigen::Lower>() * primary;
        for (int s = 0; s < electrodes; ++s)
            rhs.col(s) *= m_reference[s];
        rhs.noalias() -= m_matrix.selfadjointView<Eigen::Lower>() * primary;

        // The flux of the primary potential that the boundary does not take: through the real
        // surface where it is not flat, and the mismatch of the mixed condition on the outer edges.
        for (const InversionMesh::Edge& edge : m_mesh.boundary()) {
            const double x0 = m_mesh.nodeX(edge.node0), z0 = m_mesh.nodeZ(edge.node0);
            const double x1 = m_mesh.nodeX(edge.node1), z1 = m_mesh.nodeZ(edge.node1);
            const double length = std::hypot(x1 - x0, z1 - z0);
            for (double t : {0.5 - g, 0.5 + g}) {
                const double px = x0 + t * (x1 - x0), pz = z0 + t * (z1 - z0);
                const double beta = edge.surface ? 0.0 : robin(m_mesh, k, px, pz, edge.normalX, edge.normalZ);
                for (int s = 0; s < electrodes; ++s) {
                    const int source = m_mesh.electrodeNode(s);
                    const double dx = px - m_mesh.nodeX(source), dz = pz - m_mesh.nodeZ(source);
                    const double r = std::hypot(dx, dz);
                    const double cosine = (dx * edge.normalX + dz * edge.normalZ) / r;
                    if (edge.surface && std::fabs(cosine) < 1e-12)
                        continue;
                    double k0, k1;
                    BesselK::k0k1(k * r, &k0, &k1);
                    const double flux = (-k * k1 * cosine + beta * k0) / TwoPi * 0.5 * length;
                    rhs(edge.node0, s) -= flux * (1.0 - t);
                    rhs(edge.node1, s) -= flux * t;
                }
            }
        }

        m_cholesky.solve(&rhs);
        const double weight = 2.0 / M_PI * m_wavenumbers.weight[q];
        for (int s = 0; s < electrodes; ++s) {
            for (int r = 0; r < electrodes; ++r)
                m_potential(r, s) += weight * rhs(m_mesh.electrodeNode(r), s);
        }
        if (keepFields) {
            m_fields[q] = primary + rhs;
            Eigen::MatrixXd& adjoint = m_adjoints[q];
            adjoint = Eigen::MatrixXd::Zero(nodes, electrodes);
            for (int e = 0; e < electrodes; ++e)
                adjoint(m_mesh.electrodeNode(e), e) = 1.0;
            m_cholesky.solve(&adjoint);
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
    double sum = 0.0;
    const int sources[2] = {q.a, q.b};
    const int receivers[2] = {q.m, q.n};
    for (int c = 0; c < 2; ++c) {
        for (int p = 0; p < 2; ++p) {
            if (sources[c] != Quadrupole::Remote && receivers[p] != Quadrupole::Remote)
                sum += (c == p ? 1.0 : -1.0) * potential(sources[c], receivers[p]);
        }
    }
    return sum;
}

Eigen::MatrixXd ForwardSolver::sensitivities(const std::vector<Quadrupole>& quadrupoles) const
{
    const int cells = m_mesh.cellCount();
    Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor> result =
        Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>::Zero(int(quadrupoles.size()), cells);
    if (m_fields.empty())
        return result;

    // The current pairs and the potential pairs, each once.
    QHash<quint64, int> currentIndex, potentialIndex;
    std::vector<std::pair<int, int>> currents, potentials;
    std::vector<std::pair<int, int>> pairOf(quadrupoles.size());
    for (size_t i = 0; i < quadrupoles.size(); ++i) {
        const Quadrupole& q = quadrupoles[i];
        const quint64 ab = pairKey(q.a, q.b), mn = pairKey(q.m, q.n);
        if (!currentIndex.contains(ab)) {
            currentIndex.insert(ab, int(currents.size()));
            currents.emplace_back(q.a, q.b);
        }
        if (!potentialIndex.contains(mn)) {
            potentialIndex.insert(mn, int(potentials.size()));
            potentials.emplace_back(q.m, q.n);
        }
        pairOf[i] = {currentIndex.value(ab), potentialIndex.value(mn)};
    }

    const std::vector<int> sensitive = m_mesh.sensitiveCells();
    const int count = int(sensitive.size());
    std::vector<std::array<int, 4>> cellNodes(static_cast<size_t>(count));
    for (int c = 0; c < count; ++c)
        cellNodes[c] = m_mesh.cellNodes(sensitive[c]);
    const auto difference = [&](const Eigen::MatrixXd& field, const std::pair<int, int>& pair, int node) {
        double value = pair.first != Quadrupole::Remote ? field(node, pair.first) : 0.0;
        if (pair.second != Quadrupole::Remote)
            value -= field(node, pair.second);
        return value;
    };

    std::vector<CellValues> currentValues(currents.size(), CellValues(4, count));
    std::vector<CellValues> potentialValues(potentials.size(), CellValues(4, count));
    Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor> window =
        Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>::Zero(int(quadrupoles.size()), count);
    for (size_t q = 0; q < m_fields.size(); ++q) {
        const Eigen::MatrixXd& field = m_fields[q];
        const Eigen::MatrixXd& adjoint = m_adjoints[q];
        const double k2 = m_wavenumbers.k[q] * m_wavenumbers.k[q];
        const double weight = -2.0 / M_PI * m_wavenumbers.weight[q];
        for (size_t p = 0; p < currents.size(); ++p) {
            for (int c = 0; c < count; ++c) {
                for (int a = 0; a < 4; ++a)
                    currentValues[p](a, c) = difference(field, currents[p], cellNodes[c][a]);
            }
        }
        for (size_t p = 0; p < potentials.size(); ++p) {
            for (int c = 0; c < count; ++c) {
                double d[4];
                for (int a = 0; a < 4; ++a)
                    d[a] = difference(adjoint, potentials[p], cellNodes[c][a]);
                const std::array<double, 16>& stiffness = m_mesh.stiffness(sensitive[c]);
                const std::array<double, 16>& mass = m_mesh.mass(sensitive[c]);
                for (int a = 0; a < 4; ++a) {
                    double sum = 0.0;
                    for (int b = 0; b < 4; ++b)
                        sum += (stiffness[a * 4 + b] + k2 * mass[a * 4 + b]) * d[b];
                    potentialValues[p](a, c) = weight * sum;
                }
            }
        }
        for (size_t i = 0; i < quadrupoles.size(); ++i) {
            window.row(int(i)) += (currentValues[pairOf[i].first].array() * potentialValues[pairOf[i].second].array())
                                      .colwise()
                                      .sum()
                                      .matrix();
        }
    }
    for (int c = 0; c < count; ++c)
        result.col(sensitive[c]) = window.col(c);
    return result;
}
