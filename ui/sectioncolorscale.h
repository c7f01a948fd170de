#ifndef SECTIONCOLORSCALE_H
#define SECTIONCOLORSCALE_H

#include <qcustomplot.h>

#include <QVector>

// The colour scale the sections share (pseudosection, inverted model): a jet gradient on the
// right of the plot, logarithmic for resistivity, linear for chargeability, spanning the 2nd to
// the 98th percentile of the values so that a few outliers do not take the whole scale.
namespace SectionColorScale {

// Adds the scale beside the plot's axis rectangle, aligned with it.
QCPColorScale* create(QCustomPlot* plot);
void setResistivity(QCPColorScale* scale, const QString& label);
void setChargeability(QCPColorScale* scale);
// `values` need not be sorted; nothing changes for an empty list.
void setRange(QCPColorScale* scale, QVector<double> values);

} // namespace SectionColorScale

#endif
