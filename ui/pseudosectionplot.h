#ifndef PSEUDOSECTIONPLOT_H
#define PSEUDOSECTIONPLOT_H

#include "survey/surveydatum.h"

#include <qcustomplot.h>

#include <QHash>
#include <QVector>

class PseudosectionCells;

// The pseudosection of a datum list: every quadrupole a cell at its midpoint and median depth of
// investigation, coloured by apparent resistivity (logarithmic scale) or chargeability, depth
// downward, the electrodes marked along the top. Of repeated records the one with the lowest
// deviation is drawn; a datum whose deviation exceeds the limit is crossed out. The mouse over a
// cell shows its values, a click on it reports its record and channel.
class PseudosectionPlot : public QCustomPlot
{
    Q_OBJECT

public:
    enum class Quantity { Resistivity, Chargeability };
    static constexpr double DefaultDeviationLimit = 5.0;

    struct Cell
    {
        SurveyDatum datum;
        QRectF area;  // x and depth, metres
        double value = 0.0;
        bool newest = false;
    };

    explicit PseudosectionPlot(QWidget* parent = nullptr);

    // Replaces the data; markNewest makes the cells of the last record stand out.
    void setData(const QVector<SurveyDatum>& data, bool markNewest = false);
    // Adds the data of new records: their cells join the layout as it stands, which is placed
    // again only when its levels or steps change, so a record costs the same however large the
    // survey is.
    void addData(const QVector<SurveyDatum>& added, bool markNewest = false);
    void setQuantity(Quantity quantity);
    Quantity quantity() const { return m_quantity; }
    void setDeviationLimit(double percent);
    double deviationLimit() const { return m_deviationLimit; }
    // Marks the cell showing that record and channel, or the best repeat of its quadrupole; -1 clears.
    void selectRecord(int record, int channel);
    // Index of the marked cell, -1 for none.
    int selectedCell() const { return m_selected; }

    const QVector<Cell>& cells() const { return m_cells; }
    QCPColorScale* colorScale() const { return m_colorScale; }
    // The cell under a widget position, -1 for none; and the widget position of a cell's centre.
    int cellAt(const QPointF& position) const;
    QPointF cellCentre(int cell) const;
    // What the mouse over a cell shows.
    QString cellText(int cell) const;

Q_SIGNALS:
    void datumClicked(int record, int channel);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Placed
    {
        float a, b, m, n;
        double x, depth;
        bool valid;
    };

    void rebuild();
    // The colour range, ticks and axes after the cells changed.
    void finishLayout();
    // A datum's cell with its place (x, depth) in area; false when it cannot be drawn.
    bool makeCell(const SurveyDatum& datum, Cell* cell);
    // The cell's area at x and depth in the current layout.
    QRectF cellArea(double x, double depth) const;
    // Takes a new place into the layout when its levels and steps stay as they are.
    bool fitsLayout(double x, double depth);
    void addElectrodes(const SurveyDatum& datum);
    void insertValue(double value);
    void removeValue(double value);
    void markIfNewest(int cell);
    // The placement of a datum, computed once per quadrupole and line positions.
    const Placed& placement(const SurveyDatum& datum);

    QVector<SurveyDatum> m_data;
    QVector<Cell> m_cells;
    QVector<double> m_electrodes;
    QHash<quint64, Placed> m_placements;
    // Quadrupole -> index in m_data of its best record, and -> its cell.
    QHash<quint64, int> m_bestData;
    QHash<quint64, int> m_cellOf;
    // The layout: depth levels, the distinct x of each level's cells and of all cells, the cell
    // width of each level.
    QVector<double> m_rows;
    QVector<QVector<double>> m_rowColumns;
    QVector<double> m_columns;
    QVector<double> m_rowSteps;
    QVector<double> m_sortedValues;
    QVector<int> m_newestCells;
    int m_newestRecord = -1;
    bool m_markNewest = false;
    Quantity m_quantity = Quantity::Resistivity;
    double m_deviationLimit = DefaultDeviationLimit;
    int m_selected = -1;
    int m_selectedRecord = -1;
    int m_selectedChannel = -1;
    QPoint m_pressPosition;
    QCPColorScale* m_colorScale = nullptr;
    PseudosectionCells* m_drawing = nullptr;

    friend class PseudosectionCells;
};

#endif
