#ifndef FORWARDSOLVER_H
#define FORWARDSOLVER_H

#include "inversion/inversionmesh.h"
#include "inversion/sparsecholesky.h"
#include "inversion/wavenumbers.h"

#include <Eigen/Dense>
#include <Eigen/Sparse>

#include <atomic>
#include <vector>

// The electrodes of one datum as indices into the mesh's electrodes; Remote (-1) for one at
// infinity.
struct Quadrupole
{
    static constexpr int Remote = -1;
    int a = Remote, b = Remote, m = Remote, n = Remote;
};

// 2.5-D direct-current forward modelling on an InversionMesh. For each wavenumber k the
// transformed potential solves -div(sigma grad U~) + k^2 sigma U~ = (I/2) delta with Neumann
// conditions at the surface and the mixed condition dU~/dn = -k K1(kr)/K0(kr) cos(theta) U~ on the
// sides and bottom. The singularity at the source is removed: the potential is the analytic
// half-space potential of the conductivity under the electrode plus a secondary potential the
// finite elements compute, driven by where the model departs from that half-space and, under
// topography, by the flux of the flat-ground potential through the real surface. One factorisation
// per wavenumber serves every electrode as a source.
class ForwardSolver
{
public:
    explicit ForwardSolver(const InversionMesh& mesh, SparseCholesky::Method method = SparseCholesky::Method::Cholmod);

    const InversionMesh& mesh() const { return m_mesh; }
    const Wavenumbers& wavenumbers() const { return m_wavenumbers; }

    // Potentials of every electrode as a 1 A source, for the conductivity of each mesh cell (S/m).
    // keepFields keeps the transformed potentials at every node for sensitivities(). False when
    // cancelled (checked between wavenumbers) or when the model is not usable (a conductivity not
    // positive and finite).
    bool solve(const std::vector<double>& conductivity, bool keepFields = false,
               const std::atomic<bool>* cancel = nullptr);

    // Potential at electrode `receiver` of a 1 A source at electrode `source`, V (not for source == receiver).
    double potential(int source, int receiver) const { return m_potential(receiver, source); }
    // The transfer resistance U_MN / I of a quadrupole, Ohm.
    double resistance(const Quadrupole& q) const;
    // Every potential(), receiver x source, to keep beyond the solver's life, and the transfer
    // resistance from them.
    const Eigen::MatrixXd& potentials() const { return m_potential; }
    static double resistance(const Eigen::MatrixXd& potentials, const Quadrupole& q);
    // d R / d sigma for every mesh cell (columns), one row per quadrupole, from the kept fields: the
    // fields of A and B and the adjoint fields of M and N (unit sources at their nodes), so that
    // they are the exact derivatives of resistance(). Zero outside the mesh's sensitive cells.
    Eigen::MatrixXd sensitivities(const std::vector<Quadrupole>& quadrupoles) const;

private:
    void assemble(const std::vector<double>& conductivity, double k, Eigen::SparseMatrix<double>* matrix) const;

    const InversionMesh& m_mesh;
    Wavenumbers m_wavenumbers;
    SparseCholesky m_cholesky;
    Eigen::SparseMatrix<double> m_matrix;
    // Per cell, the 16 value positions of its element matrix in the lower-triangle storage (-1 above
    // the diagonal); per boundary edge, its 4.
    std::vector<std::array<int, 16>> m_cellSlots;
    std::vector<std::array<int, 4>> m_edgeSlots;
    // Per electrode, the half-space conductivity its primary potential uses.
    std::vector<double> m_reference;
    Eigen::MatrixXd m_potential;  // receiver x source
    // Per wavenumber, nodes x electrodes: K0(k r) from each source, and the part of the
    // right-hand side that does not depend on the model.
    std::vector<Eigen::MatrixXd> m_bessel;
    std::vector<Eigen::MatrixXd> m_fixedRhs;
    // Nodes x electrodes: the primary potentials and the right-hand sides of one wavenumber.
    Eigen::MatrixXd m_primary;
    Eigen::MatrixXd m_rhs;
    // Per wavenumber, nodes x electrodes, a node's values side by side.
    using NodeRows = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;
    std::vector<NodeRows> m_fields;
    std::vector<NodeRows> m_adjoints;
};

#endif
