#ifndef PSEUDOSECTIONVIEW_H
#define PSEUDOSECTIONVIEW_H

#include "ui/pseudosectionplot.h"

#include <QWidget>

class QButtonGroup;
class QDoubleSpinBox;

// The pseudosection with its controls: apparent resistivity or chargeability, the deviation limit
// above which a datum is crossed out, and saving the picture as PNG or PDF.
class PseudosectionView : public QWidget
{
    Q_OBJECT

public:
    explicit PseudosectionView(QWidget* parent = nullptr);

    PseudosectionPlot* plot() const { return m_plot; }
    // Proposed name (without extension) and folder of a saved picture.
    void setSaveName(const QString& path) { m_saveName = path; }
    // Writes the picture; the format follows the extension (.pdf, otherwise PNG).
    bool savePicture(const QString& path);

protected:
    // Asks for the file to write; empty when cancelled.
    virtual QString chooseSavePath(const QString& format);
    // Tells where the picture went, or why it could not be written.
    virtual void showSaveResult(bool saved, const QString& text);

private:
    void onSaveClicked(const QString& format);

    PseudosectionPlot* m_plot = nullptr;
    QButtonGroup* m_quantityGroup = nullptr;
    QDoubleSpinBox* m_limit = nullptr;
    QString m_saveName;
};

#endif
