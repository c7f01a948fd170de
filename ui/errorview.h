#ifndef ERRORVIEW_H
#define ERRORVIEW_H

#include "survey/dataerrors.h"
#include "survey/surveydatum.h"

#include <QVector>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QCPGraph;
class QCustomPlot;
class QDoubleSpinBox;
class QLabel;

// The viewer's "Погрешности": the reciprocal error |R - R'| of every pair against |R| on log-log
// axes with the fitted error model, the pairs the filter drops marked, and beside it the filter's
// rules, editable, each with the number of data it drops.
class ErrorView : public QWidget
{
    Q_OBJECT

public:
    explicit ErrorView(const DataFilter& filter, QWidget* parent = nullptr);

    void setData(const QVector<SurveyDatum>& data);
    const DataFilter& filter() const { return m_filter; }
    const DataErrors& errors() const { return m_errors; }
    QCustomPlot* plot() const { return m_plot; }

Q_SIGNALS:
    // The operator changed a rule.
    void filterChanged(const DataFilter& filter);

private:
    QWidget* createRules();
    void onRuleEdited();
    void analyse();

    DataFilter m_filter;
    QVector<SurveyDatum> m_data;
    DataErrors m_errors;
    QCustomPlot* m_plot = nullptr;
    QCPGraph* m_keptGraph = nullptr;
    QCPGraph* m_droppedGraph = nullptr;
    QCPGraph* m_modelGraph = nullptr;
    QDoubleSpinBox* m_reciprocalLimit = nullptr;
    QDoubleSpinBox* m_deviationLimit = nullptr;
    QDoubleSpinBox* m_currentLimit = nullptr;
    QCheckBox* m_nonPositiveCheck = nullptr;
    QComboBox* m_sourceCombo = nullptr;
    QLabel* m_counts[DataFilter::RuleCount] = {};
    QLabel* m_summaryLabel = nullptr;
};

#endif
