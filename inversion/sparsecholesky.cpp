#include "inversion/sparsecholesky.h"

#include <cholmod.h>

#include <cstring>

struct SparseCholesky::Cholmod
{
    cholmod_common common;
    cholmod_factor* factor = nullptr;

    Cholmod()
    {
        cholmod_start(&common);
        common.supernodal = CHOLMOD_SUPERNODAL;
        common.print = 0;
        common.error_handler = nullptr;
    }
    ~Cholmod()
    {
        if (factor)
            cholmod_free_factor(&factor, &common);
        cholmod_finish(&common);
    }

    // A view of the matrix, no copy.
    static cholmod_sparse view(const Eigen::SparseMatrix<double>& lower)
    {
        cholmod_sparse a;
        std::memset(&a, 0, sizeof a);
        a.nrow = size_t(lower.rows());
        a.ncol = size_t(lower.cols());
        a.nzmax = size_t(lower.nonZeros());
        a.p = const_cast<int*>(lower.outerIndexPtr());
        a.i = const_cast<int*>(lower.innerIndexPtr());
        a.x = const_cast<double*>(lower.valuePtr());
        a.stype = -1;
        a.itype = CHOLMOD_INT;
        a.xtype = CHOLMOD_REAL;
        a.dtype = CHOLMOD_DOUBLE;
        a.sorted = 1;
        a.packed = 1;
        return a;
    }
};

SparseCholesky::SparseCholesky(Method method)
    : m_method(method)
{
    if (m_method == Method::Cholmod)
        m_cholmod = std::make_unique<Cholmod>();
}

SparseCholesky::~SparseCholesky() = default;

void SparseCholesky::analyse(const Eigen::SparseMatrix<double>& lower)
{
    if (m_method == Method::Eigen) {
        m_eigen.analyzePattern(lower);
        return;
    }
    if (m_cholmod->factor)
        cholmod_free_factor(&m_cholmod->factor, &m_cholmod->common);
    cholmod_sparse a = Cholmod::view(lower);
    m_cholmod->factor = cholmod_analyze(&a, &m_cholmod->common);
}

bool SparseCholesky::factorise(const Eigen::SparseMatrix<double>& lower)
{
    if (m_method == Method::Eigen) {
        m_eigen.factorize(lower);
        return m_eigen.info() == Eigen::Success;
    }
    if (!m_cholmod->factor)
        return false;
    cholmod_sparse a = Cholmod::view(lower);
    return cholmod_factorize(&a, m_cholmod->factor, &m_cholmod->common)
           && m_cholmod->common.status == CHOLMOD_OK;
}

void SparseCholesky::solve(Eigen::MatrixXd* rhs) const
{
    if (m_method == Method::Eigen) {
        *rhs = m_eigen.solve(*rhs);
        return;
    }
    cholmod_dense b;
    std::memset(&b, 0, sizeof b);
    b.nrow = size_t(rhs->rows());
    b.ncol = size_t(rhs->cols());
    b.nzmax = b.nrow * b.ncol;
    b.d = b.nrow;
    b.x = rhs->data();
    b.xtype = CHOLMOD_REAL;
    b.dtype = CHOLMOD_DOUBLE;
    cholmod_dense* x = cholmod_solve(CHOLMOD_A, m_cholmod->factor, &b, &m_cholmod->common);
    if (x) {
        std::memcpy(rhs->data(), x->x, sizeof(double) * b.nzmax);
        cholmod_free_dense(&x, &m_cholmod->common);
    }
}
