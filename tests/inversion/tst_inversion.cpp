// Inversions of synthetic data computed on a finer mesh than the inversion's: a conductive block
// comes back where it is, a chargeable block too, bad inputs are refused with their reason and a
// run can be cancelled, also in the worker thread, which follows a growing survey from its last
// model.

#include "inversion/forwardsolver.h"
#include "inversion/inversionworker.h"
#include "inversion/resistivityinversion.h"

#include <QtTest>

#include <cmath>
#include <random>

namespace {

struct Block
{
    double x0, x1, top, bottom;  // depths below the surface, positive
    double resistivity;
    double chargeability;
};

// A 48-electrode dipole-dipole line (a = 1, 2; n = 1..6) over `background` with one block, computed
// on a mesh twice as fine as the inversion's, with 2 % Gaussian noise of a fixed seed.
InversionInput synthetic(double background, const Block& block, unsigned seed)
{
    const int count = 48;
    InversionInput input;
    std::vector<double> x, z(count, 0.0);
    for (int i = 0; i < count; ++i) {
        x.push_back(i);
        ElectrodePosition e;
        e.x = float(i);
        input.electrodes.append(e);
    }
    InversionMesh::Options fine;
    fine.columnsPerSpacing = 4;
    fine.firstLayer = 0.125;
    fine.layerGrowth = 1.05;
    const InversionMesh mesh = InversionMesh::build(x, z, 12.0, fine);
    std::vector<double> sigma(size_t(mesh.cellCount()));
    std::vector<double> blocked(size_t(mesh.cellCount()));
    for (int c = 0; c < mesh.cellCount(); ++c) {
        const std::array<int, 4> nodes = mesh.cellNodes(c);
        const double cx = 0.5 * (mesh.nodeX(nodes[0]) + mesh.nodeX(nodes[1]));
        const double cz = -0.5 * (mesh.nodeZ(nodes[0]) + mesh.nodeZ(nodes[3]));
        const bool inside = cx > block.x0 && cx < block.x1 && cz > block.top && cz < block.bottom;
        sigma[c] = 1.0 / (inside ? block.resistivity : background);
        blocked[c] = inside ? sigma[c] * (1.0 - block.chargeability / 100.0) : sigma[c];
    }
    ForwardSolver solver(mesh);
    std::vector<Quadrupole> quadrupoles;
    for (int a = 1; a <= 2; ++a) {
        for (int n = 1; n <= 6; ++n) {
            for (int i = 0; i + (n + 2) * a < count; ++i)
                quadrupoles.push_back({i, i + a, i + (n + 1) * a, i + (n + 2) * a});
        }
    }
    solver.solve(sigma);
    std::vector<double> plain;
    for (const Quadrupole& q : quadrupoles)
        plain.push_back(solver.resistance(q));
    solver.solve(blocked);
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.02);
    for (size_t i = 0; i < quadrupoles.size(); ++i) {
        const Quadrupole& q = quadrupoles[i];
        SurveyDatum d;
        d.electrodes = {q.a + 1, q.b + 1, q.m + 1, q.n + 1};
        d.a.x = float(q.a);
        d.b.x = float(q.b);
        d.m.x = float(q.m);
        d.n.x = float(q.n);
        const double k = 2.0 * M_PI / (1.0 / std::abs(q.m - q.a) - 1.0 / std::abs(q.n - q.a) - 1.0 / std::abs(q.m - q.b) + 1.0 / std::abs(q.n - q.b));
        d.current = 1.0;
        d.voltage = plain[i] * (1.0 + noise(random));
        d.geometricFactor = k;
        d.resistivity = d.voltage * k;
        d.deviation = 0.0;
        d.chargeability = 100.0 * (1.0 - plain[i] / solver.resistance(q)) + 0.1 * noise(random) / 0.02;
        input.data.append(d);
    }
    return input;
}

// The centre of the cells below a fraction of the background (or above a chargeability), weighted
// by how far they depart.
QPointF anomalyCentre(const InversionResult& result, bool chargeability, double threshold)
{
    double sx = 0.0, sz = 0.0, sw = 0.0;
    for (const ModelCell& cell : result.cells) {
        const double w = chargeability ? cell.chargeability - threshold : std::log(threshold / cell.resistivity);
        if (w > 0.0) {
            sx += w * cell.x;
            sz += w * cell.z;
            sw += w;
        }
    }
    return sw > 0.0 ? QPointF(sx / sw, sz / sw) : QPointF(-1e9, -1e9);
}

}

class TestInversion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void conductiveBlock();
    void chargeableBlock();
    void robustAgainstOutliers();
    void refusedInputs();
    void cancellation();
    void workerFollowsAGrowingSurvey();
};

void TestInversion::conductiveBlock()
{
    const Block block{20.0, 26.0, 1.5, 4.0, 10.0, 0.0};
    const InversionInput input = synthetic(100.0, block, 1);
    const InversionResult result = ResistivityInversion::run(input, InversionSettings());
    QVERIFY2(result.ok(), qPrintable(result.error));
    const QPointF centre = anomalyCentre(result, false, 50.0);
    double minimum = HUGE_VAL;
    for (const ModelCell& cell : result.cells) {
        if (std::hypot(cell.x - 23.0, cell.z + 2.75) < 1.0)
            minimum = std::min(minimum, cell.resistivity);
    }
    QVERIFY(std::hypot(centre.x() - 23.0, centre.y() + 2.75) < 1.0);
    QVERIFY(minimum > 5.0 && minimum < 20.0);
    QVERIFY(result.chi2() > 0.8 && result.chi2() < 1.5);
}

void TestInversion::chargeableBlock()
{
    const Block block{12.0, 18.0, 1.0, 3.5, 50.0, 10.0};
    InversionSettings settings;
    settings.chargeability = true;
    const InversionResult result = ResistivityInversion::run(synthetic(100.0, block, 2), settings);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QVERIFY(result.hasChargeability);
    const QPointF centre = anomalyCentre(result, true, 2.0);
    QVERIFY(std::hypot(centre.x() - 15.0, centre.y() + 2.25) < 1.0);
    double largest = 0.0;
    for (const ModelCell& cell : result.cells) {
        QVERIFY(cell.chargeability >= 0.0);
        largest = std::max(largest, cell.chargeability);
    }
    QVERIFY(largest > 5.0 && largest < 20.0);
}

// A few gross outliers (a bad contact, a swapped cable: three times or a third of the true
// value) pull the plain inversion's model away from the ground; the reweighted misfit lets them
// go and comes closer to it.
void TestInversion::robustAgainstOutliers()
{
    const Block block{20.0, 26.0, 1.5, 4.0, 10.0, 0.0};
    InversionInput input = synthetic(100.0, block, 5);
    for (int i = 7; i < input.data.size(); i += 37) {
        const double factor = (i / 37) % 2 == 0 ? 3.0 : 1.0 / 3.0;
        input.data[i].voltage *= factor;
        input.data[i].resistivity *= factor;
    }
    // RMS of log10(rho / true rho) over the cells the data reach.
    const auto modelError = [&](const InversionResult& result) {
        double largest = 0.0;
        for (const ModelCell& cell : result.cells)
            largest = std::max(largest, cell.coverage);
        double sum = 0.0;
        int count = 0;
        for (const ModelCell& cell : result.cells) {
            if (cell.coverage < 0.05 * largest)
                continue;
            const bool inside = cell.x > block.x0 && cell.x < block.x1 && -cell.z > block.top && -cell.z < block.bottom;
            sum += std::pow(std::log10(cell.resistivity / (inside ? block.resistivity : 100.0)), 2);
            ++count;
        }
        return std::sqrt(sum / count);
    };
    InversionSettings settings;
    const InversionResult plain = ResistivityInversion::run(input, settings);
    settings.robust = true;
    const InversionResult robust = ResistivityInversion::run(input, settings);
    QVERIFY(plain.ok() && robust.ok());
    QVERIFY2(modelError(robust) < 0.7 * modelError(plain),
             qPrintable(QStringLiteral("%1 vs %2").arg(modelError(robust)).arg(modelError(plain))));
}

void TestInversion::refusedInputs()
{
    InversionInput input = synthetic(100.0, Block{20.0, 26.0, 1.5, 4.0, 100.0, 0.0}, 3);
    // Data that cannot be used are left out with their reason, the rest inverted.
    input.data[0].electrodes.a = 60;
    input.data[1].current = 0.0;
    input.data[2].resistivity = 0.0;
    input.data[3].electrodes.n = input.data[3].electrodes.m;
    InversionSettings settings;
    settings.maxIterations = 1;
    InversionResult result = ResistivityInversion::run(input, settings);
    QVERIFY(result.ok());
    QCOMPARE(result.used, input.data.size() - 4);
    QCOMPARE(result.leftOut.size(), 4);
    QCOMPARE(result.leftOut.value(ResistivityInversion::negativeReason()), 1);
    QCOMPARE(result.leftOut.value(ResistivityInversion::coincidingReason()), 1);

    // The station's records carry amplitudes and positive factors: the same data, the same fit.
    InversionInput amplitudes = input;
    for (SurveyDatum& d : amplitudes.data) {
        d.voltage = std::fabs(d.voltage);
        d.geometricFactor = std::fabs(d.geometricFactor);
    }
    const InversionResult fromAmplitudes = ResistivityInversion::run(amplitudes, settings);
    QCOMPARE(fromAmplitudes.used, result.used);
    QCOMPARE(fromAmplitudes.chi2(), result.chi2());

    InversionInput few = input;
    few.data.resize(13);
    result = ResistivityInversion::run(few, settings);
    QCOMPARE(result.error, ResistivityInversion::tooFewReason());
    QVERIFY(result.cells.isEmpty());

    InversionInput onePoint = input;
    for (ElectrodePosition& e : onePoint.electrodes)
        e.x = 5.0f;
    result = ResistivityInversion::run(onePoint, settings);
    QCOMPARE(result.error, ResistivityInversion::onePointReason());

    // Errors given per datum replace the deviation and floor: ten times larger, a hundredth of
    // the misfit.
    InversionInput given = input;
    given.errors = QVector<double>(given.data.size(), 0.2);
    settings.maxIterations = 0;
    const double floorChi2 = ResistivityInversion::run(input, settings).chi2();
    const double givenChi2 = ResistivityInversion::run(given, settings).chi2();
    QVERIFY(std::fabs(givenChi2 / floorChi2 - std::pow(std::hypot(0.0, 2.0) / 20.0, 2)) < 1e-9);
}

void TestInversion::cancellation()
{
    const InversionInput input = synthetic(100.0, Block{20.0, 26.0, 1.5, 4.0, 10.0, 0.0}, 4);
    std::atomic<bool> cancel(false);
    int heard = 0;
    const InversionResult result = ResistivityInversion::run(input, InversionSettings(), &cancel, [&](const InversionIteration& i) {
        ++heard;
        if (i.number == 1)
            cancel = true;
    });
    QVERIFY(result.cancelled);
    QVERIFY(!result.ok());
    QCOMPARE(heard, 2);
}

void TestInversion::workerFollowsAGrowingSurvey()
{
    const InversionInput all = synthetic(100.0, Block{20.0, 26.0, 1.5, 4.0, 10.0, 0.0}, 5);
    InversionInput part = all;
    part.data.resize(all.data.size() / 2);

    InversionWorker worker;
    QSignalSpy started(&worker, &InversionWorker::started);
    QSignalSpy finished(&worker, &InversionWorker::finished);
    QSignalSpy cancelled(&worker, &InversionWorker::cancelled);
    // A second start while the first runs supersedes it: one result, of all the data.
    worker.start(part, InversionSettings());
    worker.start(all, InversionSettings());
    QVERIFY(worker.isBusy());
    QVERIFY(finished.wait(60000));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(cancelled.size(), 0);
    QCOMPARE(started.size(), 2);
    QVERIFY(!worker.isBusy());
    const InversionResult fromUniform = finished.first().first().value<InversionResult>();
    QVERIFY(fromUniform.ok());
    QCOMPARE(fromUniform.used, all.data.size());

    // Started from that model the same data begin near their final misfit.
    InversionSettings again;
    again.startModel = fromUniform.cells;
    const InversionResult fromLast = ResistivityInversion::run(all, again);
    QVERIFY(fromLast.ok());
    QVERIFY(fromLast.iterations.first().chi2 < 0.1 * fromUniform.iterations.first().chi2);
    QVERIFY(fromLast.iterations.size() < fromUniform.iterations.size());

    worker.start(all, InversionSettings());
    worker.cancel();
    QVERIFY(cancelled.wait(60000));
    QCOMPARE(finished.size(), 1);
}

QTEST_GUILESS_MAIN(TestInversion)
#include "tst_inversion.moc"
