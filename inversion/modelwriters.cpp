#include "inversion/modelwriters.h"

#include "inversion/resistivityinversion.h"

#include <QSaveFile>

#include <cmath>

namespace {

QByteArray number(double value, int decimals = 4)
{
    return QByteArray::number(value, 'f', decimals);
}

void scalars(QByteArray* out, const char* name, const InversionResult& result, double (*value)(const ModelCell&))
{
    *out += QByteArray("SCALARS ") + name + " double 1\nLOOKUP_TABLE default\n";
    for (const ModelCell& cell : result.cells)
        *out += number(value(cell), 6) + '\n';
}

}

QByteArray ModelWriters::csv(const InversionResult& result)
{
    QByteArray out = result.hasChargeability ? "x,z,rho,eta,coverage\n" : "x,z,rho,coverage\n";
    for (const ModelCell& cell : result.cells) {
        out += number(cell.x, 3) + ',' + number(cell.z, 3) + ',' + number(cell.resistivity, 3) + ',';
        if (result.hasChargeability)
            out += number(cell.chargeability, 3) + ',';
        out += number(cell.coverage, 6) + '\n';
    }
    return out;
}

QByteArray ModelWriters::vtk(const InversionResult& result)
{
    const int cells = result.cells.size();
    QByteArray out = "# vtk DataFile Version 3.0\nTervex-M1 inversion model\nASCII\nDATASET UNSTRUCTURED_GRID\n";
    // Each cell its own four points, counter-clockwise in the x-z plane, y = 0.
    out += "POINTS " + QByteArray::number(4 * cells) + " double\n";
    for (const ModelCell& cell : result.cells) {
        for (int a : {3, 2, 1, 0})
            out += number(cell.cornerX[a]) + " 0 " + number(cell.cornerZ[a]) + '\n';
    }
    out += "CELLS " + QByteArray::number(cells) + ' ' + QByteArray::number(5 * cells) + '\n';
    for (int c = 0; c < cells; ++c) {
        out += "4 " + QByteArray::number(4 * c) + ' ' + QByteArray::number(4 * c + 1) + ' ' + QByteArray::number(4 * c + 2)
               + ' ' + QByteArray::number(4 * c + 3) + '\n';
    }
    out += "CELL_TYPES " + QByteArray::number(cells) + '\n';
    for (int c = 0; c < cells; ++c)
        out += "9\n";  // VTK_QUAD
    out += "CELL_DATA " + QByteArray::number(cells) + '\n';
    scalars(&out, "rho", result, [](const ModelCell& cell) { return cell.resistivity; });
    scalars(&out, "log10_rho", result, [](const ModelCell& cell) { return std::log10(cell.resistivity); });
    scalars(&out, "coverage", result, [](const ModelCell& cell) { return cell.coverage; });
    if (result.hasChargeability)
        scalars(&out, "eta", result, [](const ModelCell& cell) { return cell.chargeability; });
    return out;
}

bool ModelWriters::writeFile(const QString& path, const QByteArray& content, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
