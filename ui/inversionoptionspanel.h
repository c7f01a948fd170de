#ifndef INVERSIONOPTIONSPANEL_H
#define INVERSIONOPTIONSPANEL_H

#include "inversion/resistivityinversion.h"

#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;

// The choices of an inversion the operator may change: the starting regularisation strength
// (0: from the data), the smallest error of a datum, the reweighted misfit for outliers and the
// chargeability section.
class InversionOptionsPanel : public QWidget
{
    Q_OBJECT

public:
    explicit InversionOptionsPanel(QWidget* parent = nullptr);

    // `base` with the panel's choices.
    InversionSettings settings(InversionSettings base = InversionSettings()) const;
    void setSettings(const InversionSettings& settings);

Q_SIGNALS:
    void changed();

private:
    QDoubleSpinBox* m_lambda = nullptr;
    QDoubleSpinBox* m_errorFloor = nullptr;
    QCheckBox* m_robust = nullptr;
    QCheckBox* m_chargeability = nullptr;
};

#endif
