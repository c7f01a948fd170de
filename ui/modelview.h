#ifndef MODELVIEW_H
#define MODELVIEW_H

#include "inversion/resistivityinversion.h"
#include "ui/modelsectionplot.h"

#include <QWidget>

class PseudosectionPlot;
class QButtonGroup;
class QCheckBox;
class QLabel;

// An inverted section with what the operator reads from it: the model cells with the electrodes
// on the surface, resistivity or chargeability, the colour range of the pseudosection or the
// model's own, the cell under the mouse, and a line with the data the model fits, its misfit, how
// many of the survey's quadrupoles it has seen and what the inversion is doing now. A click on a
// cell reports it, so the caller can show the data that see it.
class ModelView : public QWidget
{
    Q_OBJECT

public:
    explicit ModelView(QWidget* parent = nullptr);

    ModelSectionPlot* plot() const { return m_plot; }
    // The model and the electrodes of its line (x, elevation); `leftOut` data were not used.
    void setModel(const InversionResult& result, const QVector<ElectrodePosition>& electrodes, int leftOut);
    void clearModel();
    const InversionResult& model() const { return m_result; }
    bool hasModel() const { return !m_result.cells.isEmpty(); }

    // "по N из M квадруполей": N data in the model, M quadrupoles of the survey so far.
    void setDataCounts(int inModel, int total);
    // What the inversion does now (progressText(), a failure); empty when it rests.
    void setState(const QString& text);
    // The resistivity range of the pseudosection the section is compared with; shown unless the
    // operator asks for the model's own range.
    void setSharedRange(const QCPRange& range);
    // Takes the shared range from a pseudosection whenever it shows resistivity.
    void followPseudosection(PseudosectionPlot* pseudosection);
    void setOwnRange(bool own);
    bool ownRange() const;
    void setQuantity(ModelSectionPlot::Quantity quantity);

    // The cell under a position of the plot widget, -1 for none; a cell's centre there.
    int cellAt(const QPointF& position) const;
    QPointF cellCentre(int cell) const;
    // Depth of a point below the surface the electrodes span, m.
    double depthAt(double x, double z) const;
    QString cellText(int cell) const;
    QString summary() const;
    QString counts() const;
    QString state() const;

    // The texts, built without a window.
    static QString summaryText(const InversionResult& result, int leftOut);
    static QString countText(int inModel, int total);
    static QString progressText(const InversionIteration& iteration);
    static QString cellText(const ModelCell& cell, double depth, bool withChargeability);

Q_SIGNALS:
    void cellClicked(int cell);

private:
    void showRange();
    void onMouseMove(QMouseEvent* event);

    ModelSectionPlot* m_plot = nullptr;
    QCPGraph* m_electrodeGraph = nullptr;
    QButtonGroup* m_quantityGroup = nullptr;
    QCheckBox* m_ownRangeCheck = nullptr;
    QLabel* m_readOut = nullptr;
    QLabel* m_summary = nullptr;
    QLabel* m_counts = nullptr;
    QLabel* m_state = nullptr;
    InversionResult m_result;
    // Surface points along the line, ascending x.
    QVector<QPointF> m_surface;
    QCPRange m_sharedRange{0.0, 0.0};
    QPoint m_pressPosition;
};

#endif
