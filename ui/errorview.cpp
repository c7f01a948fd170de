#include "ui/errorview.h"

#include <qcustomplot.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int RulesWidth = 330;
constexpr int ModelPoints = 60;

QDoubleSpinBox* limitBox(const QString& objectName, double maximum, const QString& suffix, QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(objectName);
    box->setRange(0.0, maximum);
    box->setDecimals(1);
    box->setSuffix(suffix);
    // 0 turns the rule off, and says so.
    box->setSpecialValueText(ErrorView::tr("выкл."));
    box->setFixedHeight(26);
    return box;
}

void setUpLogAxis(QCPAxis* axis, const QString& label)
{
    axis->setScaleType(QCPAxis::stLogarithmic);
    QSharedPointer<QCPAxisTickerLog> ticker(new QCPAxisTickerLog);
    axis->setTicker(ticker);
    axis->setNumberFormat(QStringLiteral("eb"));
    axis->setNumberPrecision(0);
    axis->setLabel(label);
}

}

ErrorView::ErrorView(const DataFilter& filter, QWidget* parent)
    : QWidget(parent)
    , m_filter(filter)
{
    setObjectName(QStringLiteral("error_view"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(8);

    m_plot = new QCustomPlot(this);
    m_plot->setObjectName(QStringLiteral("error_plot"));
    setUpLogAxis(m_plot->xAxis, tr("|R|, Ом"));
    setUpLogAxis(m_plot->yAxis, tr("|R − R′|, Ом"));
    m_keptGraph = m_plot->addGraph();
    m_keptGraph->setName(tr("взаимные пары"));
    m_keptGraph->setLineStyle(QCPGraph::lsNone);
    m_keptGraph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, QColor(0x33, 0x66, 0x99), 5));
    m_droppedGraph = m_plot->addGraph();
    m_droppedGraph->setName(tr("отбракованы"));
    m_droppedGraph->setLineStyle(QCPGraph::lsNone);
    m_droppedGraph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCross, QPen(QColor(0xB0, 0x00, 0x20), 1.5), QBrush(), 8));
    m_modelGraph = m_plot->addGraph();
    m_modelGraph->setName(tr("модель"));
    m_modelGraph->setPen(QPen(QColor(0x2E, 0x7D, 0x32), 2));
    m_plot->legend->setVisible(true);
    m_plot->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);
    m_plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    layout->addWidget(m_plot, 1);
    // A low window scrolls the rules rather than squeezing them.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(createRules());
    scroll->setFixedWidth(RulesWidth + scroll->verticalScrollBar()->sizeHint().width());
    layout->addWidget(scroll);
    analyse();
}

QWidget* ErrorView::createRules()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("error_rules"));
    panel->setFixedWidth(RulesWidth);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    auto* title = new QLabel(tr("Отбраковка данных"), panel);
    title->setStyleSheet(QStringLiteral("QLabel {font-weight: bold;}"));
    layout->addWidget(title);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    m_reciprocalLimit = limitBox(QStringLiteral("filter_reciprocal_limit"), DataFilter::HighestPercent, QStringLiteral(" %"), panel);
    m_deviationLimit = limitBox(QStringLiteral("filter_deviation_limit"), DataFilter::HighestPercent, QStringLiteral(" %"), panel);
    m_currentLimit = limitBox(QStringLiteral("filter_current_limit"), DataFilter::HighestCurrent, tr(" мА"), panel);
    m_nonPositiveCheck = new QCheckBox(tr("ρа ≤ 0"), panel);
    m_nonPositiveCheck->setObjectName(QStringLiteral("non_positive_check"));
    const QString names[DataFilter::RuleCount] = {tr("Взаимная погрешность выше"), tr("Разброс выше"),
                                                  tr("Кажущееся сопротивление"), tr("Ток ниже")};
    QWidget* editors[DataFilter::RuleCount] = {m_reciprocalLimit, m_deviationLimit, m_nonPositiveCheck, m_currentLimit};
    for (int rule = 0; rule < DataFilter::RuleCount; ++rule) {
        auto* name = new QLabel(names[rule], panel);
        name->setWordWrap(true);
        grid->addWidget(name, rule, 0);
        grid->addWidget(editors[rule], rule, 1);
        m_counts[rule] = new QLabel(panel);
        m_counts[rule]->setObjectName(QStringLiteral("rule_count_%1").arg(rule));
        m_counts[rule]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_counts[rule]->setMinimumWidth(40);
        grid->addWidget(m_counts[rule], rule, 2);
    }
    grid->setColumnStretch(0, 1);
    layout->addLayout(grid);

    layout->addWidget(new QLabel(tr("Погрешности данных:"), panel));
    m_sourceCombo = new QComboBox(panel);
    m_sourceCombo->setObjectName(QStringLiteral("error_source_combo"));
    for (ErrorModel::Source source : {ErrorModel::Source::Reciprocal, ErrorModel::Source::Deviation})
        m_sourceCombo->addItem(ErrorModel::title(source), int(source));
    layout->addWidget(m_sourceCombo);

    m_summaryLabel = new QLabel(panel);
    m_summaryLabel->setObjectName(QStringLiteral("error_summary"));
    m_summaryLabel->setWordWrap(true);
    m_summaryLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_summaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_summaryLabel, 1);

    m_reciprocalLimit->setValue(m_filter.maxReciprocalError);
    m_deviationLimit->setValue(m_filter.maxDeviation);
    m_currentLimit->setValue(m_filter.minCurrent);
    m_nonPositiveCheck->setChecked(m_filter.dropNonPositive);
    m_sourceCombo->setCurrentIndex(m_sourceCombo->findData(int(m_filter.errorSource)));

    const auto edited = QOverload<double>::of(&QDoubleSpinBox::valueChanged);
    for (QDoubleSpinBox* box : {m_reciprocalLimit, m_deviationLimit, m_currentLimit})
        connect(box, edited, this, &ErrorView::onRuleEdited);
    connect(m_nonPositiveCheck, &QCheckBox::toggled, this, &ErrorView::onRuleEdited);
    connect(m_sourceCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ErrorView::onRuleEdited);
    return panel;
}

void ErrorView::setData(const QVector<SurveyDatum>& data)
{
    m_data = data;
    analyse();
}

void ErrorView::onRuleEdited()
{
    m_filter.maxReciprocalError = m_reciprocalLimit->value();
    m_filter.maxDeviation = m_deviationLimit->value();
    m_filter.minCurrent = m_currentLimit->value();
    m_filter.dropNonPositive = m_nonPositiveCheck->isChecked();
    m_filter.errorSource = ErrorModel::Source(m_sourceCombo->currentData().toInt());
    analyse();
    Q_EMIT filterChanged(m_filter);
}

void ErrorView::analyse()
{
    m_errors = DataErrors::analyse(m_data, m_filter);
    QVector<double> keptR, keptD, droppedR, droppedD;
    for (const ErrorPair& p : m_errors.pairs()) {
        // A log axis has no place for a difference of zero.
        if (p.kind != ErrorPair::Kind::Reciprocal || !(p.difference > 0.0) || !(p.resistance > 0.0))
            continue;
        const bool dropped = m_errors.dropped(p.first) || m_errors.dropped(p.second);
        (dropped ? droppedR : keptR).append(p.resistance);
        (dropped ? droppedD : keptD).append(p.difference);
    }
    m_keptGraph->setData(keptR, keptD);
    m_droppedGraph->setData(droppedR, droppedD);

    QVector<double> modelR, modelD;
    const ErrorModel& model = m_errors.fitted();
    if (model.kind != ErrorModel::Kind::Deviation) {
        const QVector<double> all = keptR + droppedR;
        const double low = *std::min_element(all.cbegin(), all.cend());
        const double high = *std::max_element(all.cbegin(), all.cend());
        for (int i = 0; i < ModelPoints; ++i) {
            const double r = low * std::pow(high / low, double(i) / (ModelPoints - 1));
            modelR.append(r);
            modelD.append(model.difference(r));
        }
    }
    m_modelGraph->setData(modelR, modelD);
    m_plot->rescaleAxes();
    for (QCPAxis* axis : {m_plot->xAxis, m_plot->yAxis}) {
        const QCPRange range = axis->range();
        if (range.lower > 0.0)
            axis->setRange(range.lower / 1.5, range.upper * 1.5);
    }
    m_plot->replot();

    for (int rule = 0; rule < DataFilter::RuleCount; ++rule)
        m_counts[rule]->setText(QString::number(m_errors.droppedBy(DataFilter::Rule(rule))));
    QStringList lines = m_errors.summary();
    // The fitted model is the data's unless the deviation stands in for it.
    if (m_errors.model().kind == ErrorModel::Kind::Deviation)
        lines << tr("Погрешности данных: %1").arg(m_errors.model().text());
    lines << tr("Отбраковано: %1 из %2").arg(m_errors.droppedCount()).arg(m_errors.size());
    m_summaryLabel->setText(lines.join(QLatin1Char('\n')));
}
