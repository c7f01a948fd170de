#ifndef RESISTIVITYINVERSION_H
#define RESISTIVITYINVERSION_H

#include "inversion/inversionmesh.h"
#include "inversion/sparsecholesky.h"
#include "measurement/electrodeposition.h"
#include "survey/surveydatum.h"

#include <QMap>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>

struct InversionDataset;

struct ModelCell
{
    double cornerX[4];  // top left, top right, bottom right, bottom left
    double cornerZ[4];
    double x, z;        // centre
    double resistivity;
    // Summed absolute sensitivity of the data to the cell: low where the data do not reach.
    double coverage;
    double chargeability;  // percent; with the chargeability model only
};

struct InversionSettings
{
    // Starting regularisation strength; 0 chooses it from the data's sensitivities.
    double lambda = 0.0;
    // Smallest relative error of a datum, percent; combined with the record's deviation.
    double errorFloor = 2.0;
    // Iteratively reweighted data misfit, L1-like: outliers lose their pull.
    bool robust = false;
    // Also the chargeability model from the apparent chargeabilities.
    bool chargeability = false;
    int maxIterations = 10;
    // Depth of the model below the surface, m; 0 takes 1.5 times the largest median depth of
    // investigation of the data.
    double depth = 0.0;
    // Weight of vertical against horizontal roughness.
    double verticalWeight = 1.0;
    SparseCholesky::Method factorisation = SparseCholesky::Method::Eigen;
    InversionMesh::Options mesh;
    // A model to start from, such as the last one of a survey that has grown since: each parameter
    // cell takes the resistivity of the nearest of these cells. Empty: a uniform ground of the
    // data's median apparent resistivity.
    QVector<ModelCell> startModel;
};

// The data to invert: the electrodes of one line and data whose electrode numbers are 1-based
// positions in that list (Electrodes::None at infinity), as InversionDataset keeps them.
struct InversionInput
{
    QVector<ElectrodePosition> electrodes;
    QVector<SurveyDatum> data;
    // Relative error of each datum (0.05 = 5 %), from an error model of the caller; empty: each
    // datum's deviation combined with the error floor.
    QVector<double> errors;

    static InversionInput fromDataset(const InversionDataset& dataset);
};


struct InversionIteration
{
    int number = 0;     // 0: the starting model
    double chi2 = 0.0;  // error-weighted mean squared misfit
    double rms = 0.0;   // relative RMS misfit, percent
    double lambda = 0.0;
};

struct InversionResult
{
    // Why there is no model; empty when there is one.
    QString error;
    bool cancelled = false;
    QVector<ModelCell> cells;
    int columns = 0;
    int layers = 0;
    QVector<InversionIteration> iterations;
    int used = 0;
    QMap<QString, int> leftOut;
    bool hasChargeability = false;
    double chargeabilityChi2 = 0.0;
    // For each cell (in the order of `cells`) the data most sensitive to it, largest |d ln rho_a /
    // d ln rho| first, as indices into the input's data; -1 pads a cell fewer data reach.
    static constexpr int SensitiveData = 5;
    QVector<int> sensitiveData;
    // Cells, nodes, data and wavenumbers of the computation.
    int meshCells = 0;
    int meshNodes = 0;
    int wavenumbers = 0;

    bool ok() const { return error.isEmpty() && !cancelled; }
    int leftOutCount() const;
    double chi2() const { return iterations.isEmpty() ? 0.0 : iterations.last().chi2; }
    double rms() const { return iterations.isEmpty() ? 0.0 : iterations.last().rms; }
    // The input's data most sensitive to cell `cell`, largest first.
    QVector<int> mostSensitive(int cell) const;
};

// Smoothness-constrained Gauss-Newton inversion of the resistances of one survey line for a 2-D
// resistivity section (log resistivity of every parameter cell of an InversionMesh), and with the
// option the chargeability section through the final sensitivities. The apparent resistivities
// it fits use its own geometric factors from the electrodes' true positions: analytic on a flat
// line, from a uniform ground on the same mesh under topography. Re-entrant: a run keeps all its
// state, several may run in parallel threads.
class ResistivityInversion
{
public:
    using Progress = std::function<void(const InversionIteration&)>;

    static constexpr int MinimumData = 10;

    // `cancel` is checked between iterations and between wavenumbers; `progress` hears each
    // iteration as it ends (in the calling thread). `wrapUp`, once set, ends the run after the
    // iteration in progress, from the first on, with the model it has: a result, not a cancel.
    static InversionResult run(const InversionInput& input, const InversionSettings& settings,
                               const std::atomic<bool>* cancel = nullptr, const Progress& progress = Progress(),
                               const std::atomic<bool>* wrapUp = nullptr);

    // Reasons for leaving data out and for not inverting.
    static QString negativeReason();
    static QString coincidingReason();
    static QString tooFewReason();
    static QString onePointReason();
};

#endif
