#ifndef MODELWRITERS_H
#define MODELWRITERS_H

#include <QByteArray>
#include <QString>

struct InversionResult;

// The inverted model as files: a comma-separated table of the cell centres
// (x,z,rho[,eta],coverage) and a VTK legacy unstructured grid of the cells with rho, log10 rho,
// coverage and eta as cell data, which ParaView reads.
namespace ModelWriters {

QByteArray csv(const InversionResult& result);
QByteArray vtk(const InversionResult& result);
// Writes the content as a whole or not at all; false with the reason.
bool writeFile(const QString& path, const QByteArray& content, QString* error);

} // namespace ModelWriters

#endif
