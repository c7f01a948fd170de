#ifndef SPARSECHOLESKY_H
#define SPARSECHOLESKY_H

#include <Eigen/Dense>
#include <Eigen/Sparse>

#include <memory>

// Cholesky factorisation of a symmetric positive definite sparse matrix given by its lower
// triangle, analysed once for a pattern and factorised again for new values: Eigen's simplicial
// LL^T or CHOLMOD's supernodal one (the faster here, see bench/inversion).
class SparseCholesky
{
public:
    enum class Method { Eigen, Cholmod };

    explicit SparseCholesky(Method method = Method::Cholmod);
    ~SparseCholesky();
    SparseCholesky(const SparseCholesky&) = delete;
    SparseCholesky& operator=(const SparseCholesky&) = delete;

    Method method() const { return m_method; }
    // The matrix must keep its pattern between analyse() and factorise(), and stay alive while
    // the factor is used. False when the matrix is not positive definite.
    void analyse(const Eigen::SparseMatrix<double>& lower);
    bool factorise(const Eigen::SparseMatrix<double>& lower);
    // Solves in place for every column of rhs.
    void solve(Eigen::MatrixXd* rhs) const;

private:
    struct Cholmod;

    Method m_method;
    Eigen::SimplicialLLT<Eigen::SparseMatrix<double>, Eigen::Lower> m_eigen;
    std::unique_ptr<Cholmod> m_cholmod;
};

#endif
