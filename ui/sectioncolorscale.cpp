#include "ui/sectioncolorscale.h"

#include <algorithm>
#include <cmath>

QCPColorScale* SectionColorScale::create(QCustomPlot* plot)
{
    auto* scale = new QCPColorScale(plot);
    plot->plotLayout()->addElement(0, 1, scale);
    scale->setType(QCPAxis::atRight);
    scale->setGradient(QCPColorGradient(QCPColorGradient::gpJet));
    auto* margins = new QCPMarginGroup(plot);
    plot->axisRect()->setMarginGroup(QCP::msTop | QCP::msBottom, margins);
    scale->setMarginGroup(QCP::msTop | QCP::msBottom, margins);
    return scale;
}

void SectionColorScale::setResistivity(QCPColorScale* scale, const QString& label)
{
    scale->setDataScaleType(QCPAxis::stLogarithmic);
    QSharedPointer<QCPAxisTickerLog> ticker(new QCPAxisTickerLog);
    ticker->setSubTickCount(8);
    scale->axis()->setTicker(ticker);
    scale->axis()->setNumberFormat(QStringLiteral("gb"));
    scale->axis()->setNumberPrecision(3);
    scale->setLabel(label);
}

void SectionColorScale::setChargeability(QCPColorScale* scale)
{
    scale->setDataScaleType(QCPAxis::stLinear);
    scale->axis()->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
    scale->axis()->setNumberFormat(QStringLiteral("g"));
    scale->setLabel(QStringLiteral("η, %"));
}

void SectionColorScale::setRange(QCPColorScale* scale, QVector<double> values)
{
    if (values.isEmpty())
        return;
    std::sort(values.begin(), values.end());
    const int last = values.size() - 1;
    QCPRange range(values[int(std::floor(0.02 * last))], values[int(std::ceil(0.98 * last))]);
    if (range.size() <= 0) {
        range = scale->dataScaleType() == QCPAxis::stLogarithmic ? QCPRange(range.lower / 1.1, range.upper * 1.1)
                                                                 : QCPRange(range.lower - 1, range.upper + 1);
    }
    scale->setDataRange(range);
}
