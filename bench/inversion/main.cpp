// The inversion of a 48-electrode line: a dipole-dipole line (a = 1, 2; n = 1..6) and a Wenner
// line over a conductive block, data from a mesh twice as fine with 2 % noise. Prints the mesh
// cells and nodes, the data, the wavenumbers, the time of one forward run for all 48 current
// electrodes (with Eigen's and with CHOLMOD's factorisation), of the sensitivities, of each
// iteration and of the whole inversion. Times are processor time of this thread (medians of
// several runs for the forward runs), so that a busy machine does not inflate them.
//
//   tervex-bench-inversion

#include "inversion/forwardsolver.h"
#include "inversion/resistivityinversion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>

namespace {

double cpuSeconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

template <typename F>
double medianMs(F run, int runs = 5)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = cpuSeconds();
        run();
        times.push_back(1000.0 * (cpuSeconds() - start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::vector<Quadrupole> dipoleDipole(int count)
{
    std::vector<Quadrupole> result;
    for (int a = 1; a <= 2; ++a) {
        for (int n = 1; n <= 6; ++n) {
            for (int i = 0; i + (n + 2) * a < count; ++i)
                result.push_back({i, i + a, i + (n + 1) * a, i + (n + 2) * a});
        }
    }
    return result;
}

std::vector<Quadrupole> wenner(int count)
{
    std::vector<Quadrupole> result;
    for (int a = 1; 3 * a < count; ++a) {
        for (int i = 0; i + 3 * a < count; ++i)
            result.push_back({i, i + 3 * a, i + a, i + 2 * a});
    }
    return result;
}

InversionInput synthetic(const std::vector<Quadrupole>& quadrupoles, int count)
{
    InversionInput input;
    std::vector<double> x, z(size_t(count), 0.0);
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
    for (int c = 0; c < mesh.cellCount(); ++c) {
        const std::array<int, 4> nodes = mesh.cellNodes(c);
        const double cx = 0.5 * (mesh.nodeX(nodes[0]) + mesh.nodeX(nodes[1]));
        const double cz = -0.5 * (mesh.nodeZ(nodes[0]) + mesh.nodeZ(nodes[3]));
        sigma[c] = (cx > 20.0 && cx < 26.0 && cz > 1.5 && cz < 4.0) ? 0.1 : 0.01;
    }
    ForwardSolver solver(mesh);
    solver.solve(sigma);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.02);
    for (const Quadrupole& q : quadrupoles) {
        SurveyDatum d;
        d.electrodes = {q.a + 1, q.b + 1, q.m + 1, q.n + 1};
        d.a.x = float(q.a);
        d.b.x = float(q.b);
        d.m.x = float(q.m);
        d.n.x = float(q.n);
        d.current = 1.0;
        d.voltage = solver.resistance(q) * (1.0 + noise(random));
        d.geometricFactor = 2.0 * M_PI / (1.0 / std::abs(q.m - q.a) - 1.0 / std::abs(q.n - q.a) - 1.0 / std::abs(q.m - q.b) + 1.0 / std::abs(q.n - q.b));
        d.resistivity = d.voltage * d.geometricFactor;
        input.data.append(d);
    }
    return input;
}

void measure(const char* name, const std::vector<Quadrupole>& quadrupoles)
{
    const int count = 48;
    const InversionInput input = synthetic(quadrupoles, count);

    // The forward run and the sensitivities on the inversion's own mesh, over the uniform ground.
    InversionSettings settings;
    InversionSettings single = settings;
    single.maxIterations = 0;
    const InversionResult probe = ResistivityInversion::run(input, single);
    double depth = 0.0;
    for (const ModelCell& cell : probe.cells)
        depth = std::max(depth, -cell.cornerZ[2]);
    std::vector<double> x, z(size_t(count), 0.0);
    for (int i = 0; i < count; ++i)
        x.push_back(i);
    const InversionMesh mesh = InversionMesh::build(x, z, depth);
    const std::vector<double> sigma(size_t(mesh.cellCount()), 0.01);
    double forward[2] = {0.0, 0.0};
    int i = 0;
    for (SparseCholesky::Method method : {SparseCholesky::Method::Eigen, SparseCholesky::Method::Cholmod}) {
        ForwardSolver solver(mesh, method);
        forward[i++] = medianMs([&] { solver.solve(sigma); });
    }
    ForwardSolver solver(mesh);
    const double withFields = medianMs([&] { solver.solve(sigma, true); }, 3);
    const double sensitivities = medianMs([&] { solver.sensitivities(quadrupoles); }, 3);

    std::vector<double> marks;
    const double start = cpuSeconds();
    const InversionResult result = ResistivityInversion::run(input, settings, nullptr, [&](const InversionIteration&) {
        marks.push_back(cpuSeconds());
    });
    const double whole = 1000.0 * (cpuSeconds() - start);
    std::printf("%s: %d mesh cells, %d nodes, %d parameters, %d data, %d wavenumbers\n", name, result.meshCells,
                result.meshNodes, int(result.cells.size()), result.used, result.wavenumbers);
    std::printf("  forward, 48 current electrodes: %.0f ms (Eigen simplicial LLT), %.0f ms (CHOLMOD supernodal)\n",
                forward[0], forward[1]);
    std::printf("  forward keeping fields and adjoints: %.0f ms, sensitivities: %.0f ms\n", withFields, sensitivities);
    for (size_t m = 1; m < marks.size(); ++m)
        std::printf("  iteration %d: %.0f ms, chi2 %.3f, rms %.2f %%\n", int(m), 1000.0 * (marks[m] - marks[m - 1]),
                    result.iterations.at(int(m)).chi2, result.iterations.at(int(m)).rms);
    std::printf("  whole inversion: %.0f ms (goal 2000), %d iterations, chi2 %.3f\n", whole,
                result.iterations.size() - 1, result.chi2());
}

}

int main()
{
    measure("dipole-dipole", dipoleDipole(48));
    measure("Wenner", wenner(48));
    return 0;
}
