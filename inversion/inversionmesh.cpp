#include "inversion/inversionmesh.h"

#include <algorithm>
#include <cmath>

namespace {

// Height of the surface at x: between electrodes along the straight line joining them, beyond
// the ends with the slope fitted to the whole line.
double surfaceHeight(const std::vector<double>& x, const std::vector<double>& z, double slope, double at)
{
    if (at <= x.front())
        return z.front() + slope * (at - x.front());
    if (at >= x.back())
        return z.back() + slope * (at - x.back());
    const auto upper = std::upper_bound(x.begin(), x.end(), at);
    const size_t i = size_t(upper - x.begin());
    const double t = (at - x[i - 1]) / (x[i] - x[i - 1]);
    return z[i - 1] + t * (z[i] - z[i - 1]);
}

double fittedSlope(const std::vector<double>& x, const std::vector<double>& z)
{
    double mx = 0.0, mz = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        mx += x[i];
        mz += z[i];
    }
    mx /= double(x.size());
    mz /= double(x.size());
    double sxz = 0.0, sxx = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        sxz += (x[i] - mx) * (z[i] - mz);
        sxx += (x[i] - mx) * (x[i] - mx);
    }
    return sxx > 0.0 ? sxz / sxx : 0.0;
}

}

std::array<int, 4> InversionMesh::cellNodes(int cell) const
{
    const int i = cell % columns();
    const int j = cell / columns();
    return {node(i, j), node(i + 1, j), node(i + 1, j + 1), node(i, j + 1)};
}

int InversionMesh::parameterCell(int parameter) const
{
    return cell(m_firstParameterColumn + parameter % m_parameterColumns, parameter / m_parameterColumns);
}

std::vector<int> InversionMesh::sensitiveCells() const
{
    constexpr int Padding = 3;
    std::vector<int> cells;
    const int last = std::min(columns(), m_firstParameterColumn + m_parameterColumns + Padding);
    for (int j = 0; j < std::min(layers(), m_parameterLayers + Padding); ++j) {
        for (int i = std::max(0, m_firstParameterColumn - Padding); i < last; ++i)
            cells.push_back(cell(i, j));
    }
    return cells;
}

InversionMesh InversionMesh::build(const std::vector<double>& x, const std::vector<double>& z, double depth,
                                   const Options& options)
{
    InversionMesh mesh;
    double spacing = HUGE_VAL;
    for (size_t i = 1; i < x.size(); ++i)
        spacing = std::min(spacing, x[i] - x[i - 1]);
    if (!(spacing > 0.0 && spacing < HUGE_VAL))
        spacing = 1.0;
    mesh.m_spacing = spacing;
    const double length = std::max(x.back() - x.front(), spacing);
    const double extent = options.paddingExtent * length;
    const double step = spacing / options.columnsPerSpacing;

    // Columns: the line's own, then the padding on both sides.
    std::vector<double> inner{x.front()};
    std::vector<int> electrodeColumn{0};
    for (size_t i = 1; i < x.size(); ++i) {
        const int parts = std::max(1, int(std::lround((x[i] - x[i - 1]) / step)));
        for (int p = 1; p <= parts; ++p)
            inner.push_back(x[i - 1] + (x[i] - x[i - 1]) * p / parts);
        electrodeColumn.push_back(int(inner.size()) - 1);
    }
    std::vector<double> pad;
    for (double width = step, total = 0.0; total < extent;) {
        width *= options.paddingGrowth;
        total += width;
        pad.push_back(total);
    }
    for (auto it = pad.rbegin(); it != pad.rend(); ++it)
        mesh.m_columnX.push_back(x.front() - *it);
    const int firstInner = int(mesh.m_columnX.size());
    mesh.m_columnX.insert(mesh.m_columnX.end(), inner.begin(), inner.end());
    for (double offset : pad)
        mesh.m_columnX.push_back(x.back() + offset);

    // Layers: growing slowly to the depth of investigation, then quickly to the bottom.
    mesh.m_layerDepth.push_back(0.0);
    double thickness = options.firstLayer * spacing;
    while (mesh.m_layerDepth.back() < depth - 0.25 * thickness) {
        mesh.m_layerDepth.push_back(mesh.m_layerDepth.back() + thickness);
        thickness *= options.layerGrowth;
    }
    mesh.m_parameterLayers = int(mesh.m_layerDepth.size()) - 1;
    while (mesh.m_layerDepth.back() < extent) {
        thickness *= options.paddingGrowth;
        mesh.m_layerDepth.push_back(mesh.m_layerDepth.back() + thickness);
    }

    const int nx = mesh.columns();
    const int nz = mesh.layers();
    const double bottom = mesh.m_layerDepth.back();
    const double slope = fittedSlope(x, z);
    mesh.m_nodeX.resize(size_t(nx + 1) * (nz + 1));
    mesh.m_nodeZ.resize(mesh.m_nodeX.size());
    for (int i = 0; i <= nx; ++i) {
        const double surface = surfaceHeight(x, z, slope, mesh.m_columnX[i]);
        for (int j = 0; j <= nz; ++j) {
            const double d = mesh.m_layerDepth[j];
            mesh.m_nodeX[mesh.node(i, j)] = mesh.m_columnX[i];
            mesh.m_nodeZ[mesh.node(i, j)] = surface * (1.0 - d / bottom) - d;
        }
    }
    for (int column : electrodeColumn)
        mesh.m_electrodeNodes.push_back(mesh.node(firstInner + column, 0));
    mesh.m_centreX = 0.5 * (x.front() + x.back());
    mesh.m_centreZ = surfaceHeight(x, z, slope, mesh.m_centreX);

    // Element matrices, isoparametric bilinear with 2 x 2 Gauss points.
    const double g = 1.0 / std::sqrt(3.0);
    const double xi[4] = {-1.0, 1.0, 1.0, -1.0};
    const double eta[4] = {1.0, 1.0, -1.0, -1.0};
    mesh.m_stiffness.resize(size_t(nx) * nz);
    mesh.m_mass.resize(size_t(nx) * nz);
    for (int c = 0; c < nx * nz; ++c) {
        const std::array<int, 4> nodes = mesh.cellNodes(c);
        std::array<double, 16> k{}, m{};
        for (double gx : {-g, g}) {
            for (double gz : {-g, g}) {
                double n[4], dxi[4], deta[4];
                for (int a = 0; a < 4; ++a) {
                    n[a] = 0.25 * (1.0 + xi[a] * gx) * (1.0 + eta[a] * gz);
                    dxi[a] = 0.25 * xi[a] * (1.0 + eta[a] * gz);
                    deta[a] = 0.25 * eta[a] * (1.0 + xi[a] * gx);
                }
                double j11 = 0, j12 = 0, j21 = 0, j22 = 0;
                for (int a = 0; a < 4; ++a) {
                    j11 += dxi[a] * mesh.m_nodeX[nodes[a]];
                    j12 += dxi[a] * mesh.m_nodeZ[nodes[a]];
                    j21 += deta[a] * mesh.m_nodeX[nodes[a]];
                    j22 += deta[a] * mesh.m_nodeZ[nodes[a]];
                }
                const double det = j11 * j22 - j12 * j21;
                const double area = std::fabs(det);
                double bx[4], bz[4];
                for (int a = 0; a < 4; ++a) {
                    bx[a] = (j22 * dxi[a] - j12 * deta[a]) / det;
                    bz[a] = (-j21 * dxi[a] + j11 * deta[a]) / det;
                }
                for (int a = 0; a < 4; ++a) {
                    for (int b = 0; b < 4; ++b) {
                        k[a * 4 + b] += (bx[a] * bx[b] + bz[a] * bz[b]) * area;
                        m[a * 4 + b] += n[a] * n[b] * area;
                    }
                }
            }
        }
        mesh.m_stiffness[c] = k;
        mesh.m_mass[c] = m;
    }

    // Boundary edges with their outward normals.
    const auto addEdge = [&mesh](int n0, int n1, int cell, bool surface, double outX, double outZ) {
        const double tx = mesh.m_nodeX[n1] - mesh.m_nodeX[n0];
        const double tz = mesh.m_nodeZ[n1] - mesh.m_nodeZ[n0];
        const double length = std::hypot(tx, tz);
        double nxn = tz / length, nzn = -tx / length;
        if (nxn * outX + nzn * outZ < 0.0) {
            nxn = -nxn;
            nzn = -nzn;
        }
        mesh.m_boundary.push_back(Edge{n0, n1, cell, nxn, nzn, surface});
    };
    for (int i = 0; i < nx; ++i) {
        addEdge(mesh.node(i, 0), mesh.node(i + 1, 0), mesh.cell(i, 0), true, 0.0, 1.0);
        addEdge(mesh.node(i, nz), mesh.node(i + 1, nz), mesh.cell(i, nz - 1), false, 0.0, -1.0);
    }
    for (int j = 0; j < nz; ++j) {
        addEdge(mesh.node(0, j), mesh.node(0, j + 1), mesh.cell(0, j), false, -1.0, 0.0);
        addEdge(mesh.node(nx, j), mesh.node(nx, j + 1), mesh.cell(nx - 1, j), false, 1.0, 0.0);
    }

    // Parameters: the cells between the outer electrodes and above the depth of investigation.
    mesh.m_firstParameterColumn = firstInner;
    mesh.m_parameterColumns = int(inner.size()) - 1;
    mesh.m_cellParameter.resize(size_t(nx) * nz);
    for (int j = 0; j < nz; ++j) {
        for (int i = 0; i < nx; ++i) {
            const int pi = std::clamp(i - firstInner, 0, mesh.m_parameterColumns - 1);
            const int pj = std::min(j, mesh.m_parameterLayers - 1);
            mesh.m_cellParameter[mesh.cell(i, j)] = pj * mesh.m_parameterColumns + pi;
        }
    }
    return mesh;
}
