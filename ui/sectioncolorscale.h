#ifndef SECTIONCOLORSCALE_H
#define SECTIONCOLORSCALE_H

#include <qcustomplot.h>

#include <QVector>

// The colour scale the sections share (pseudosection, inverted model): a jet gradient on the
// right of the plot, logarithmic for resistivity, linear for chargeability, spanning the 2nd to
// the 98th percentile of the values so that a few outliers do not take the whole scale, and at
// least a minimum span so that uniform ground stays one colour. Ticks carry as many digits as
// their step needs, so neighbouring ticks never read alike.
namespace SectionColorScale {

// Adds the scale beside the plot's axis rectangle, aligned with it.
QCPColorScale* create(QCustomPlot* plot);
void setResistivity(QCPColorScale* scale, const QString& label);
void setChargeability(QCPColorScale* scale);
// Uniform ground: the scale spans at least this ratio of resistivity (about ±12 %) and this
// width of chargeability, so measurement noise does not fill the palette.
constexpr double MinimumResistivityRatio = 1.25;
constexpr double MinimumChargeabilitySpan = 1.0;  // percent

// `values` need not be sorted; nothing changes for an empty list.
void setRange(QCPColorScale* scale, QVector<double> values);
// A range given by the caller, such as another section's, with the ticks it needs.
void setFixedRange(QCPColorScale* scale, const QCPRange& range);
// The same for values sorted ascending, not empty.
void setSortedRange(QCPColorScale* scale, const QVector<double>& sorted);

} // namespace SectionColorScale

#endif
