#include "groundmodel.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// Sample points per cell side: a rectangle's edge that cuts a cell gives it the share of each
// side, so the response does not jump as an edge crosses a cell centre.
constexpr int Samples = 3;

// A mesh twice as fine as the inversion's in both directions.
InversionMesh::Options fineMesh()
{
    InversionMesh::Options options;
    options.columnsPerSpacing = 4;
    options.firstLayer = 0.125;
    options.layerGrowth = 1.05;
    return options;
}

bool number(const QString& token, double* value)
{
    bool ok = false;
    *value = token.toDouble(&ok);
    return ok && std::isfinite(*value);
}

}

bool GroundModel::parse(const QString& text, QString* error)
{
    m_rects.clear();
    bool background = false;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const auto fail = [&](const QString& reason) {
            *error = QStringLiteral("line %1: %2").arg(i + 1).arg(reason);
            return false;
        };
        const QString line = lines.at(i).section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList tokens = line.split(QRegularExpression(QStringLiteral("\\s+")));
        const QString& keyword = tokens.first();
        const int required = keyword == QLatin1String("background") ? 1 : keyword == QLatin1String("rect") ? 5 : -1;
        if (required < 0)
            return fail(QStringLiteral("'%1' is neither background nor rect").arg(keyword));
        if (tokens.size() - 1 != required && tokens.size() - 1 != required + 1)
            return fail(QStringLiteral("%1 takes %2 or %3 numbers").arg(keyword).arg(required).arg(required + 1));
        double values[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
        for (int t = 1; t < tokens.size(); ++t) {
            if (!number(tokens.at(t), &values[t - 1]))
                return fail(QStringLiteral("'%1' is not a number").arg(tokens.at(t)));
        }
        const double rho = values[required - 1];
        const double eta = values[required];
        if (!(rho > 0.0))
            return fail(QStringLiteral("the resistivity must be above 0"));
        if (!(eta >= 0.0 && eta < 1.0))
            return fail(QStringLiteral("the chargeability must be a fraction from 0 to below 1"));
        if (keyword == QLatin1String("background")) {
            if (background)
                return fail(QStringLiteral("a second background"));
            background = true;
            m_background.resistivity = rho;
            m_background.chargeability = eta;
            continue;
        }
        const Rect rect{values[0], values[1], values[2], values[3], rho, eta};
        if (!(rect.x0 < rect.x1))
            return fail(QStringLiteral("X0 must be less than X1"));
        if (!(rect.top >= 0.0 && rect.top < rect.bottom))
            return fail(QStringLiteral("the depths must be 0 <= Z0 < Z1"));
        m_rects.append(rect);
    }
    if (!background) {
        *error = QStringLiteral("no background line");
        return false;
    }
    return true;
}

bool GroundModel::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (!parse(QString::fromUtf8(file.readAll()), error)) {
        *error = QStringLiteral("%1: %2").arg(path, *error);
        return false;
    }
    return true;
}

const GroundModel::Rect& GroundModel::at(double x, double depth) const
{
    for (int i = m_rects.size() - 1; i >= 0; --i) {
        const Rect& r = m_rects.at(i);
        if (x >= r.x0 && x <= r.x1 && depth >= r.top && depth <= r.bottom)
            return r;
    }
    return m_background;
}

std::vector<double> GroundModel::conductivities(const InversionMesh& mesh, bool polarised) const
{
    std::vector<double> sigma(size_t(mesh.cellCount()));
    for (int c = 0; c < mesh.cellCount(); ++c) {
        const std::array<int, 4> nodes = mesh.cellNodes(c);
        const int column = c % mesh.columns();
        // The surface above the cell: the top nodes of its column's edges.
        const double x0 = mesh.nodeX(column), x1 = mesh.nodeX(column + 1);
        const double s0 = mesh.nodeZ(column), s1 = mesh.nodeZ(column + 1);
        double sum = 0.0;
        for (int i = 0; i < Samples; ++i) {
            for (int j = 0; j < Samples; ++j) {
                const double u = (i + 0.5) / Samples, v = (j + 0.5) / Samples;
                const double w[4] = {(1 - u) * (1 - v), u * (1 - v), u * v, (1 - u) * v};
                double x = 0.0, z = 0.0;
                for (int a = 0; a < 4; ++a) {
                    x += w[a] * mesh.nodeX(nodes[a]);
                    z += w[a] * mesh.nodeZ(nodes[a]);
                }
                const double t = (x - x0) / (x1 - x0);
                const Rect& r = at(x, s0 + t * (s1 - s0) - z);
                sum += (polarised ? 1.0 - r.chargeability : 1.0) / r.resistivity;
            }
        }
        sigma[c] = sum / (Samples * Samples);
    }
    return sigma;
}

bool GroundModel::solve(const std::vector<double>& x, const std::vector<double>& z)
{
    m_electrodes = 0;
    m_plain.resize(0, 0);
    m_polarised.resize(0, 0);
    if (x.size() < 2)
        return false;
    double deepest = 0.0;
    bool chargeable = m_background.chargeability > 0.0;
    for (const Rect& r : qAsConst(m_rects)) {
        deepest = std::max(deepest, r.bottom);
        chargeable = chargeable || r.chargeability > 0.0;
    }
    const double depth = std::max(1.5 * deepest, 0.2 * (x.back() - x.front()));
    const InversionMesh mesh = InversionMesh::build(x, z, depth, fineMesh());
    m_meshCells = mesh.cellCount();
    m_meshNodes = mesh.nodeCount();
    ForwardSolver solver(mesh);
    if (chargeable) {
        if (!solver.solve(conductivities(mesh, true)))
            return false;
        m_polarised = solver.potentials();
    }
    if (!solver.solve(conductivities(mesh, false)))
        return false;
    m_plain = solver.potentials();
    m_electrodes = mesh.electrodeCount();
    return true;
}

double GroundModel::transferResistance(const Quadrupole& q) const
{
    // A potential electrode on a current electrode reads the infinite potential at the source.
    for (int source : {q.a, q.b}) {
        if (source != Quadrupole::Remote && (source == q.m || source == q.n))
            return HUGE_VAL;
    }
    return ForwardSolver::resistance(m_polarised.size() > 0 ? m_polarised : m_plain, q);
}

double GroundModel::apparentChargeability(const Quadrupole& q) const
{
    if (m_polarised.size() == 0)
        return 0.0;
    const double polarised = ForwardSolver::resistance(m_polarised, q);
    return polarised != 0.0 ? 1.0 - ForwardSolver::resistance(m_plain, q) / polarised : 0.0;
}
