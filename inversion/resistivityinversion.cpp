#include "inversion/resistivityinversion.h"

#include "etr/inversiondataset.h"
#include "etr/inversionwriters.h"
#include "inversion/forwardsolver.h"
#include "measurement/channelresult.h"
#include "survey/errormodel.h"
#include "survey/pseudosectionplacement.h"

#include <QCoreApplication>

#include <Eigen/Eigenvalues>
#include <Eigen/SparseCholesky>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

using RowMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

bool usable(double value)
{
    return std::isfinite(value) && value != double(ChannelResult::NotComputed);
}

// The data the run fits and how their electrodes sit on the mesh.
struct Problem
{
    std::vector<Quadrupole> quadrupoles;
    std::vector<double> resistance;       // measured, its size, Ohm
    std::vector<double> relativeError;    // of the resistance, fraction
    std::vector<double> chargeability;    // percent; NaN where not computed
    std::vector<double> factor;           // geometric factor on the true positions
    std::vector<double> logApparent;      // ln(R K)
};

// The first-order roughness of the parameter grid: one row per pair of neighbouring cells.
Eigen::SparseMatrix<double> roughness(const InversionMesh& mesh, double verticalWeight)
{
    const int columns = mesh.parameterColumns();
    const int layers = mesh.parameterLayers();
    std::vector<Eigen::Triplet<double>> entries;
    int row = 0;
    for (int j = 0; j < layers; ++j) {
        for (int i = 0; i < columns; ++i) {
            const int p = j * columns + i;
            if (i + 1 < columns) {
                entries.emplace_back(row, p, -1.0);
                entries.emplace_back(row, p + 1, 1.0);
                ++row;
            }
            if (j + 1 < layers) {
                entries.emplace_back(row, p, -verticalWeight);
                entries.emplace_back(row, p + columns, verticalWeight);
                ++row;
            }
        }
    }
    Eigen::SparseMatrix<double> c(row, mesh.parameterCount());
    c.setFromTriplets(entries.begin(), entries.end());
    return c;
}

// A regularised linear step in data space: with X = R^-1 J^T W and G = W J X the model
// X (G + lambda)^-1 b minimises |b - W J x|^2 + lambda x^T R x, and the eigenvectors of G give
// the misfit for any lambda at no cost, so lambda can be chosen for a target misfit.
class DataSpaceStep
{
public:
    DataSpaceStep(const Eigen::SimplicialLLT<Eigen::SparseMatrix<double>>& roughness, const RowMatrix& weightedJacobian,
                  const Eigen::VectorXd& target)
    {
        m_x = roughness.solve(Eigen::MatrixXd(weightedJacobian.transpose()));
        const Eigen::MatrixXd g = weightedJacobian * m_x;
        m_eigen.compute(g);
        m_projected = m_eigen.eigenvectors().transpose() * target;
    }

    double trace() const { return m_eigen.eigenvalues().sum(); }
    // Mean squared weighted misfit the linearised problem reaches with `lambda`.
    double misfit(double lambda) const
    {
        const Eigen::ArrayXd values = m_eigen.eigenvalues().array().max(0.0);
        return (lambda * m_projected.array() / (values + lambda)).square().sum() / double(m_projected.size());
    }
    // The largest lambda in [low, high] that reaches `wanted`, low when none does.
    double lambdaFor(double wanted, double low, double high) const
    {
        if (misfit(high) <= wanted)
            return high;
        if (misfit(low) >= wanted)
            return low;
        for (int i = 0; i < 40; ++i) {
            const double middle = std::sqrt(low * high);
            (misfit(middle) > wanted ? high : low) = middle;
        }
        return low;
    }
    Eigen::VectorXd model(double lambda) const
    {
        const Eigen::ArrayXd values = m_eigen.eigenvalues().array().max(0.0);
        const Eigen::VectorXd y = m_eigen.eigenvectors() * (m_projected.array() / (values + lambda)).matrix();
        return m_x * y;
    }

private:
    Eigen::MatrixXd m_x;
    Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> m_eigen;
    Eigen::VectorXd m_projected;
};

// The corners and centre of a parameter cell.
ModelCell placedCell(const InversionMesh& mesh, int parameter)
{
    const std::array<int, 4> nodes = mesh.cellNodes(mesh.parameterCell(parameter));
    ModelCell cell;
    cell.x = cell.z = 0.0;
    for (int a = 0; a < 4; ++a) {
        cell.cornerX[a] = mesh.nodeX(nodes[a]);
        cell.cornerZ[a] = mesh.nodeZ(nodes[a]);
        cell.x += 0.25 * cell.cornerX[a];
        cell.z += 0.25 * cell.cornerZ[a];
    }
    return cell;
}

// Log resistivity of every parameter cell from the nearest cell of an earlier model, which may
// have been computed on another mesh; `fallback` where it has no usable cell.
Eigen::VectorXd startingModel(const InversionMesh& mesh, const QVector<ModelCell>& start, double fallback)
{
    Eigen::VectorXd model = Eigen::VectorXd::Constant(mesh.parameterCount(), fallback);
    for (int p = 0; p < mesh.parameterCount(); ++p) {
        const ModelCell cell = placedCell(mesh, p);
        double best = HUGE_VAL;
        for (const ModelCell& other : start) {
            const double d = std::hypot(other.x - cell.x, other.z - cell.z);
            if (d < best && other.resistivity > 0.0 && std::isfinite(other.resistivity)) {
                best = d;
                model(p) = std::log(other.resistivity);
            }
        }
    }
    return model;
}

}

int InversionResult::leftOutCount() const
{
    return std::accumulate(leftOut.cbegin(), leftOut.cend(), 0);
}

QVector<int> InversionResult::mostSensitive(int cell) const
{
    QVector<int> data;
    if (cell < 0)
        return data;
    for (int k = 0; k < SensitiveData && cell * SensitiveData + k < sensitiveData.size(); ++k) {
        const int index = sensitiveData.at(cell * SensitiveData + k);
        if (index >= 0)
            data.append(index);
    }
    return data;
}

InversionInput InversionInput::fromDataset(const InversionDataset& dataset)
{
    InversionInput input;
    input.electrodes = dataset.electrodes;
    input.data = dataset.data;
    return input;
}

QString ResistivityInversion::negativeReason()
{
    return QCoreApplication::translate("ResistivityInversion", "кажущееся сопротивление не больше нуля");
}

QString ResistivityInversion::coincidingReason()
{
    return QCoreApplication::translate("ResistivityInversion", "электроды совпадают");
}

QString ResistivityInversion::tooFewReason()
{
    return QCoreApplication::translate("ResistivityInversion", "меньше %1 пригодных данных").arg(MinimumData);
}

QString ResistivityInversion::onePointReason()
{
    return QCoreApplication::translate("ResistivityInversion", "все электроды в одной точке");
}

InversionResult ResistivityInversion::run(const InversionInput& input, const InversionSettings& settings,
                                          const std::atomic<bool>* cancel, const Progress& progress,
                                          const std::atomic<bool>* wrapUp)
{
    InversionResult result;

    // The electrodes on the mesh: distinct places along the line, ascending, of those the data use.
    std::vector<double> meshX, meshZ;
    QVector<int> electrodeIndex(input.electrodes.size(), -1);
    {
        QVector<bool> referenced(input.electrodes.size(), false);
        for (const SurveyDatum& datum : input.data) {
            for (int number : {datum.electrodes.a, datum.electrodes.b, datum.electrodes.m, datum.electrodes.n}) {
                if (number >= 1 && number <= referenced.size())
                    referenced[number - 1] = true;
            }
        }
        QVector<int> order;
        for (int i = 0; i < referenced.size(); ++i) {
            if (referenced.at(i))
                order.append(i);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&](int l, int r) { return input.electrodes.at(l).x < input.electrodes.at(r).x; });
        for (int i : order) {
            const ElectrodePosition& e = input.electrodes.at(i);
            if (meshX.empty() || double(e.x) - meshX.back() >= InversionDataset::SamePlace) {
                meshX.push_back(e.x);
                meshZ.push_back(e.z);
            }
            electrodeIndex[i] = int(meshX.size()) - 1;
        }
    }
    const auto meshElectrode = [&](int number, bool* known) {
        if (number == Electrodes::None)
            return int(Quadrupole::Remote);
        if (number < 1 || number > electrodeIndex.size()) {
            *known = false;
            return int(Quadrupole::Remote);
        }
        return electrodeIndex.at(number - 1);
    };

    // The usable data.
    Problem problem;
    std::vector<int> sourceIndex;
    double deepest = 0.0;
    bool topography = false;
    for (int i = 0; i < input.data.size(); ++i) {
        const SurveyDatum& datum = input.data.at(i);
        bool known = true;
        const Quadrupole q{meshElectrode(datum.electrodes.a, &known), meshElectrode(datum.electrodes.b, &known),
                           meshElectrode(datum.electrodes.m, &known), meshElectrode(datum.electrodes.n, &known)};
        if (!known) {
            ++result.leftOut[InversionDataset::noCoordinatesReason()];
            continue;
        }
        if (!datum.computed()) {
            ++result.leftOut[InversionWriters::notComputedReason()];
            continue;
        }
        // Geometric sum on the true positions.
        double sum = 0.0;
        bool coinciding = (q.a == Quadrupole::Remote && q.b == Quadrupole::Remote)
                          || (q.m == Quadrupole::Remote && q.n == Quadrupole::Remote) || q.a == q.b || q.m == q.n;
        const int sources[2] = {q.a, q.b};
        const int receivers[2] = {q.m, q.n};
        for (int c = 0; c < 2 && !coinciding; ++c) {
            for (int p = 0; p < 2; ++p) {
                if (sources[c] == Quadrupole::Remote || receivers[p] == Quadrupole::Remote)
                    continue;
                const double r = std::hypot(meshX[sources[c]] - meshX[receivers[p]], meshZ[sources[c]] - meshZ[receivers[p]]);
                if (r < InversionDataset::SamePlace) {
                    coinciding = true;
                    break;
                }
                sum += (c == p ? 1.0 : -1.0) / r;
            }
        }
        if (coinciding || std::fabs(sum) < 1e-9) {
            ++result.leftOut[coinciding ? coincidingReason() : InversionWriters::zeroFactorReason()];
            continue;
        }
        const double factor = 2.0 * M_PI / sum;
        // The station measures the voltage as an amplitude and its factor is positive, so a record
        // carries the size of the resistance, not its sign: the sizes are compared, and the
        // record's own apparent resistivity tells a datum that is not above zero.
        if (!(std::fabs(datum.resistance()) > 0.0) || !(datum.resistivity > 0.0)) {
            ++result.leftOut[negativeReason()];
            continue;
        }
        for (int e : {q.a, q.b, q.m, q.n}) {
            if (e != Quadrupole::Remote && meshZ[e] != meshZ.front())
                topography = true;
        }
        double relative = ErrorModel::deviationError(datum.deviation, settings.errorFloor);
        if (i < input.errors.size() && input.errors.at(i) > 0.0 && std::isfinite(input.errors.at(i)))
            relative = input.errors.at(i);
        const PseudosectionPlacement::Point place = PseudosectionPlacement::place(datum);
        if (place.valid)
            deepest = std::max(deepest, place.depth);
        problem.quadrupoles.push_back(q);
        problem.resistance.push_back(std::fabs(datum.resistance()));
        problem.relativeError.push_back(relative);
        problem.chargeability.push_back(usable(datum.chargeability) ? datum.chargeability : NAN);
        problem.factor.push_back(factor);
        sourceIndex.push_back(i);
    }
    result.used = int(problem.quadrupoles.size());
    if (meshX.size() < 2) {
        result.error = onePointReason();
        return result;
    }
    if (result.used < MinimumData) {
        result.error = tooFewReason();
        return result;
    }

    const double spacing = [&] {
        double s = HUGE_VAL;
        for (size_t i = 1; i < meshX.size(); ++i)
            s = std::min(s, meshX[i] - meshX[i - 1]);
        return s;
    }();
    const double depth = settings.depth > 0.0 ? settings.depth : std::max(1.5 * deepest, spacing);
    const InversionMesh mesh = InversionMesh::build(meshX, meshZ, depth, settings.mesh);
    ForwardSolver solver(mesh, settings.factorisation);
    result.meshCells = mesh.cellCount();
    result.meshNodes = mesh.nodeCount();
    result.wavenumbers = int(solver.wavenumbers().k.size());
    const int parameters = mesh.parameterCount();
    const int n = result.used;

    // Under topography the analytic factors of a flat ground do not hold: those of a uniform
    // ground on the same mesh do.
    if (topography) {
        if (!solver.solve(std::vector<double>(size_t(mesh.cellCount()), 1.0), false, cancel)) {
            result.cancelled = true;
            return result;
        }
        for (int i = 0; i < n; ++i)
            problem.factor[i] = 1.0 / solver.resistance(problem.quadrupoles[i]);
    }
    Eigen::VectorXd observed(n);
    for (int i = 0; i < n; ++i)
        observed(i) = std::log(std::max(problem.resistance[i] * std::fabs(problem.factor[i]), 1e-30));

    std::vector<double> sortedRho(observed.data(), observed.data() + n);
    std::nth_element(sortedRho.begin(), sortedRho.begin() + n / 2, sortedRho.end());
    const double reference = sortedRho[size_t(n / 2)];

    // Forward response of a log-resistivity model, the solver keeping its fields for the Jacobian.
    const auto forward = [&](const Eigen::VectorXd& model, Eigen::VectorXd* response) {
        std::vector<double> sigma(size_t(mesh.cellCount()));
        for (int c = 0; c < mesh.cellCount(); ++c)
            sigma[c] = std::exp(-model(mesh.cellParameter(c)));
        if (!solver.solve(sigma, true, cancel))
            return false;
        response->resize(n);
        for (int i = 0; i < n; ++i)
            (*response)(i) = std::log(std::max(solver.resistance(problem.quadrupoles[i]) * problem.factor[i], 1e-30));
        return true;
    };
    // d ln(rho_a) / d ln(rho) of every parameter.
    const std::vector<int> sensitive = mesh.sensitiveCells();
    const auto jacobian = [&](const Eigen::VectorXd& model) {
        const Eigen::MatrixXd cells = solver.sensitivities(problem.quadrupoles);
        Eigen::MatrixXd j = Eigen::MatrixXd::Zero(n, parameters);
        for (int c : sensitive) {
            const int p = mesh.cellParameter(c);
            j.col(p) -= std::exp(-model(p)) * cells.col(c);
        }
        Eigen::VectorXd inverse(n);
        for (int i = 0; i < n; ++i)
            inverse(i) = 1.0 / solver.resistance(problem.quadrupoles[i]);
        return RowMatrix(inverse.asDiagonal() * j);
    };

    Eigen::VectorXd weight(n);
    for (int i = 0; i < n; ++i)
        weight(i) = 1.0 / problem.relativeError[i];
    const auto misfit = [&](const Eigen::VectorXd& response, const Eigen::VectorXd& dataWeight, double* rms) {
        const Eigen::VectorXd r = observed - response;
        *rms = 100.0 * std::sqrt(r.squaredNorm() / n);
        return (dataWeight.array() * r.array()).square().sum() / n;
    };
    // Iteratively reweighted misfit: residuals beyond their error count linearly.
    const auto robustWeight = [&](const Eigen::VectorXd& response) {
        Eigen::VectorXd w = weight;
        if (settings.robust) {
            for (int i = 0; i < n; ++i) {
                const double z = std::fabs(observed(i) - response(i)) * weight(i);
                if (z > 1.0)
                    w(i) /= std::sqrt(z);
            }
        }
        return w;
    };

    const Eigen::SparseMatrix<double> c = roughness(mesh, settings.verticalWeight);
    Eigen::SparseMatrix<double> r = c.transpose() * c;
    Eigen::SparseMatrix<double> identity(parameters, parameters);
    identity.setIdentity();
    r += 1e-3 * identity;
    const Eigen::SimplicialLLT<Eigen::SparseMatrix<double>> rFactor(r);

    Eigen::VectorXd model = startingModel(mesh, settings.startModel, reference);
    Eigen::VectorXd response;
    if (!forward(model, &response)) {
        result.cancelled = true;
        return result;
    }
    Eigen::VectorXd dataWeight = robustWeight(response);
    InversionIteration start;
    start.chi2 = misfit(response, dataWeight, &start.rms);
    result.iterations.append(start);
    if (progress)
        progress(start);

    RowMatrix j;
    double lambda = settings.lambda;
    double chi2 = start.chi2;
    for (int iteration = 1; iteration <= settings.maxIterations && chi2 > 1.0; ++iteration) {
        if (cancel && cancel->load()) {
            result.cancelled = true;
            return result;
        }
        if (iteration > 1 && wrapUp && wrapUp->load())
            break;
        j = jacobian(model);
        const Eigen::VectorXd shift = model.array() - reference;
        const RowMatrix wj = dataWeight.asDiagonal() * j;
        const Eigen::VectorXd target = dataWeight.asDiagonal() * (observed - response + j * shift);
        const DataSpaceStep step(rFactor, wj, target);
        if (lambda <= 0.0)
            lambda = step.trace() / n;
        // Aim at a fraction of the present misfit with a lambda no larger than the last one; at
        // the end a little below 1, as the linearised misfit is the lower.
        lambda = step.lambdaFor(std::max(0.9, 0.3 * chi2), 1e-3 * lambda, lambda);
        const Eigen::VectorXd proposed = step.model(lambda).array() + reference;

        // Line search on the update: the whole step, else half, else a quarter.
        bool improved = false;
        Eigen::VectorXd trial, trialResponse;
        double trialChi2 = 0.0, trialRms = 0.0;
        for (double fraction : {1.0, 0.5, 0.25}) {
            trial = model + fraction * (proposed - model);
            if (!forward(trial, &trialResponse)) {
                result.cancelled = cancel && cancel->load();
                if (!result.cancelled)
                    result.error = QStringLiteral("forward modelling failed");
                return result;
            }
            trialChi2 = misfit(trialResponse, dataWeight, &trialRms);
            if (trialChi2 < chi2) {
                improved = true;
                break;
            }
        }
        if (!improved) {
            // The fields are those of the trial: bring back the model's for the coverage.
            forward(model, &response);
            break;
        }
        const double previous = chi2;
        model = trial;
        response = trialResponse;
        dataWeight = robustWeight(response);
        chi2 = misfit(response, dataWeight, &trialRms);
        InversionIteration info;
        info.number = iteration;
        info.chi2 = chi2;
        info.rms = trialRms;
        info.lambda = lambda;
        result.iterations.append(info);
        if (progress)
            progress(info);
        if ((previous - chi2) < 0.01 * previous)
            break;
    }
    if (cancel && cancel->load()) {
        result.cancelled = true;
        return result;
    }

    // Coverage and chargeability from the sensitivities of the final model.
    j = jacobian(model);
    const Eigen::VectorXd coverage = j.cwiseAbs().colwise().sum().transpose();
    const int kept = std::min(n, int(InversionResult::SensitiveData));
    result.sensitiveData.fill(-1, parameters * InversionResult::SensitiveData);
    std::vector<int> rowsBySensitivity(static_cast<size_t>(n));
    for (int p = 0; p < parameters; ++p) {
        std::iota(rowsBySensitivity.begin(), rowsBySensitivity.end(), 0);
        std::partial_sort(rowsBySensitivity.begin(), rowsBySensitivity.begin() + kept, rowsBySensitivity.end(),
                          [&](int l, int r) { return std::fabs(j(l, p)) > std::fabs(j(r, p)); });
        for (int k = 0; k < kept; ++k)
            result.sensitiveData[p * InversionResult::SensitiveData + k] = sourceIndex[size_t(rowsBySensitivity[size_t(k)])];
    }
    Eigen::VectorXd eta = Eigen::VectorXd::Zero(parameters);
    if (settings.chargeability) {
        std::vector<int> rows;
        for (int i = 0; i < n; ++i) {
            if (std::isfinite(problem.chargeability[i]))
                rows.push_back(i);
        }
        if (int(rows.size()) >= MinimumData) {
            const int m = int(rows.size());
            RowMatrix wj(m, parameters);
            Eigen::VectorXd target(m);
            for (int i = 0; i < m; ++i) {
                const double ma = problem.chargeability[rows[i]];
                // Absolute error of a chargeability: a tenth of a percent and 5 % of the value.
                const double w = 1.0 / (0.1 + 0.05 * std::fabs(ma));
                wj.row(i) = w * j.row(rows[i]);
                target(i) = w * ma;
            }
            const DataSpaceStep step(rFactor, wj, target);
            const double start = step.trace() / m;
            const double chosen = step.lambdaFor(1.0, 1e-6 * start, 10.0 * start);
            eta = step.model(chosen).cwiseMax(0.0);
            result.chargeabilityChi2 = (target - wj * eta).squaredNorm() / m;
            result.hasChargeability = true;
        }
    }

    result.columns = mesh.parameterColumns();
    result.layers = mesh.parameterLayers();
    for (int p = 0; p < parameters; ++p) {
        ModelCell cell = placedCell(mesh, p);
        cell.resistivity = std::exp(model(p));
        cell.coverage = coverage(p);
        cell.chargeability = eta(p);
        result.cells.append(cell);
    }
    return result;
}
