#include "ui/sectioncolorscale.h"

#include <algorithm>
#include <cmath>

namespace {

// Tick labels with as many decimals as the step between ticks: 2.5 apart reads 52.5, 55.0, 57.5.
class DistinctTicker : public QCPAxisTicker
{
protected:
    QVector<double> createTickVector(double tickStep, const QCPRange& range) override
    {
        m_step = tickStep;
        return QCPAxisTicker::createTickVector(tickStep, range);
    }

    QString getTickLabel(double tick, const QLocale& locale, QChar, int precision) override
    {
        if (!(m_step > 0))
            return locale.toString(tick, 'g', precision);
        int decimals = 0;
        for (double scaled = m_step; decimals < 12 && std::fabs(scaled - std::round(scaled)) > 1e-6 * scaled; scaled *= 10)
            ++decimals;
        return locale.toString(std::fabs(tick) < m_step * 1e-6 ? 0.0 : tick, 'f', decimals);
    }

private:
    double m_step = 0.0;
};

// Whole decades take the logarithmic ticks; a narrower range the distinct linear ones.
void chooseTicks(QCPColorScale* scale)
{
    const QCPRange range = scale->dataRange();
    QCPAxis* axis = scale->axis();
    const bool decades = scale->dataScaleType() == QCPAxis::stLogarithmic && range.lower > 0
                         && range.upper >= 10 * range.lower;
    if (decades && !axis->ticker().dynamicCast<QCPAxisTickerLog>()) {
        QSharedPointer<QCPAxisTickerLog> ticker(new QCPAxisTickerLog);
        ticker->setSubTickCount(8);
        axis->setTicker(ticker);
        axis->setNumberFormat(QStringLiteral("gb"));
        axis->setNumberPrecision(3);
    } else if (!decades && !axis->ticker().dynamicCast<DistinctTicker>()) {
        axis->setTicker(QSharedPointer<QCPAxisTicker>(new DistinctTicker));
        axis->setNumberFormat(QStringLiteral("g"));
        axis->setNumberPrecision(2);
    }
}

} // namespace

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
    scale->setLabel(label);
    chooseTicks(scale);
}

void SectionColorScale::setChargeability(QCPColorScale* scale)
{
    scale->setDataScaleType(QCPAxis::stLinear);
    scale->setLabel(QStringLiteral("η, %"));
    chooseTicks(scale);
}

void SectionColorScale::setRange(QCPColorScale* scale, QVector<double> values)
{
    if (values.isEmpty())
        return;
    std::sort(values.begin(), values.end());
    setSortedRange(scale, values);
}

void SectionColorScale::setFixedRange(QCPColorScale* scale, const QCPRange& range)
{
    scale->setDataRange(range);
    chooseTicks(scale);
}

void SectionColorScale::setSortedRange(QCPColorScale* scale, const QVector<double>& sorted)
{
    const int last = sorted.size() - 1;
    QCPRange range(sorted[int(std::floor(0.02 * last))], sorted[int(std::ceil(0.98 * last))]);
    if (scale->dataScaleType() == QCPAxis::stLogarithmic) {
        if (range.lower > 0 && range.upper < range.lower * MinimumResistivityRatio) {
            const double centre = std::sqrt(range.lower * range.upper);
            const double half = std::sqrt(MinimumResistivityRatio);
            range = QCPRange(centre / half, centre * half);
        }
    } else if (range.size() < MinimumChargeabilitySpan) {
        range = QCPRange(range.center() - MinimumChargeabilitySpan / 2, range.center() + MinimumChargeabilitySpan / 2);
    }
    setFixedRange(scale, range);
}
