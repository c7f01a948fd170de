#ifndef MEASUREMENTPLOT_H
#define MEASUREMENTPLOT_H

#include "survey/testdatamanager.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class QCPAxisRect;
class QFontMetrics;
class QCPBars;
class QCPGraph;
class QCustomPlot;
class QWidget;
class SurveyDataManager;
class TervexSettings;

// The result plot of the main window: one scrolling row per stream of the record being measured,
// or the bar chart of the contact and relay tests.
class MeasurementPlot : public QObject
{
    Q_OBJECT

public:
    static constexpr int SeriesCount = 8;
    // At most this many live redraws per second: the station's batches may come much faster.
    static constexpr int RefreshInterval = 40;

    MeasurementPlot(SurveyDataManager* surveyManager, TervexSettings* settings, QWidget* parent);

    QCustomPlot* plot() const { return m_plot; }
    const QVector<QCPAxisRect*>& rowRects() const { return m_rowRects; }
    const QVector<QCPGraph*>& rowGraphs() const { return m_rowGraphs; }
    // The full caption of each row, whatever its height lets the row show.
    const QVector<QString>& rowCaptions() const { return m_captions; }
    QCPAxisRect* testRect() const { return m_testRect; }
    QCPBars* bars(int series) const { return m_bars[series]; }

    void clearPlot();
    void buildChannelRows(int n);

    // A survey or trial record began: rows sized to the step and filled with the first window.
    void showRecordStarted();
    // New samples arrived; the rows follow at the refresh pace.
    void scheduleRefresh();
    // Applies a refresh that is still waiting.
    void flushRefresh();
    bool refreshPending() const { return m_refreshTimer.isActive(); }
    // The record is computed: every row gets its values on the right.
    void showRecordResults();

    void buildTestChart(const QVector<TestPlanEntry>& plan);
    void updateTestChart(const QVector<TestResult>& results);

    void replot();

    // Bar label of a resistance in ohms: "999Ом", "1.2кОм", "150кОм", ">1МОм".
    static QString resistanceLabel(float ohms);
    // Index 0..7 of the bar series for a resistance class and result age.
    static int seriesFor(float ohms, int age);
    static QString currentCaption(int a, int b);
    static QString channelCaption(int channel, int m, int n);
    // Row captions and values are drawn turned along the row, so a line longer than the row's
    // height runs into the neighbouring rows: the full text when every line fits, else the short
    // one, else nothing (the table page shows the values then).
    static QString fitAlongRow(const QString& full, const QString& brief, const QFontMetrics& metrics, int room);
    // Every how many labels one is kept so that `count` labels of `advance` pixels fit in `room`.
    static int labelStep(int count, int advance, int room);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refreshRows();
    void setRowData(int row, const QVector<double>* values);
    int rowId(int row) const;
    double voltageTop() const;
    // Sets every row's caption and values to what its height holds.
    void fitRowLabels();
    // Sets the test chart's pair and value labels to what the plot's width holds.
    void fitTestLabels();

    SurveyDataManager* m_surveyManager;
    TervexSettings* m_settings;
    QCustomPlot* m_plot;
    QVector<QCPAxisRect*> m_rowRects;
    QVector<QCPGraph*> m_rowGraphs;
    QCPAxisRect* m_testRect = nullptr;
    QVector<TestPlanEntry> m_testPlan;
    // All labels of the test chart by key; the axes show a thinned selection.
    QVector<QString> m_pairLabels;
    QVector<QString> m_valueLabels;
    // Keys whose resistance of this run is high enough to be a bad contact.
    QVector<bool> m_testAlarms;
    QCPBars* m_bars[SeriesCount] = {};
    // Per row: the full and the short caption, and the values (shown whole or not at all).
    QVector<QString> m_captions;
    QVector<QString> m_briefCaptions;
    QVector<QString> m_values;
    QTimer m_refreshTimer;
    QElapsedTimer m_sinceRefresh;
};

#endif
