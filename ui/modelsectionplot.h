#ifndef MODELSECTIONPLOT_H
#define MODELSECTIONPLOT_H

#include "inversion/resistivityinversion.h"

#include <qcustomplot.h>

class ModelSectionCells;

// The inverted section of a line: every model cell a quadrilateral at its true place (x along the
// line, elevation up), coloured by resistivity (logarithmic) or chargeability on the colour scale
// of the pseudosection; cells the data hardly reach are paled.
class ModelSectionPlot : public QCustomPlot
{
    Q_OBJECT

public:
    enum class Quantity { Resistivity, Chargeability };

    explicit ModelSectionPlot(QWidget* parent = nullptr);

    void setModel(const InversionResult& result);
    void setQuantity(Quantity quantity);
    Quantity quantity() const { return m_quantity; }
    QCPColorScale* colorScale() const { return m_colorScale; }
    const QVector<ModelCell>& cells() const { return m_cells; }
    // The resistivity colours span this range (another section's, to compare the two) instead of
    // the model's own; a range that is not positive and ascending gives the own range back.
    void setResistivityRange(const QCPRange& range);
    QCPRange resistivityRange() const { return m_resistivityRange; }

    // Writes the section as a PNG or PDF picture (by the file's suffix) of the given size.
    bool saveSection(const QString& path, int width, int height);
    // The picture of a model as the tools and the end of a survey save it.
    static bool writePicture(const InversionResult& result, const QString& path);

private:
    void rebuild();

    QVector<ModelCell> m_cells;
    double m_coverageLimit = 0.0;
    QCPRange m_resistivityRange{0.0, 0.0};
    Quantity m_quantity = Quantity::Resistivity;
    QCPColorScale* m_colorScale = nullptr;
    ModelSectionCells* m_drawing = nullptr;

    friend class ModelSectionCells;
};

#endif
