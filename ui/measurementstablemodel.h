#ifndef MEASUREMENTSTABLEMODEL_H
#define MEASUREMENTSTABLEMODEL_H

#include "ui/headertablemodel.h"

class SurveyDataManager;

// The table page: resistivity, voltage, scatter, geometric factor and potential electrodes of
// every channel of the last computed record, in ascending channel id. Reset by the window after
// every completed record.
class MeasurementsTableModel : public HeaderTableModel
{
    Q_OBJECT

public:
    MeasurementsTableModel(SurveyDataManager* manager, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;

protected:
    QVariant cellData(const QModelIndex& index, int role) const override;

private:
    SurveyDataManager* m_manager;
};

#endif
