#ifndef STATIONINFOTABLEMODEL_H
#define STATIONINFOTABLEMODEL_H

#include "ui/headertablemodel.h"

struct StationInfo;

// The station page's channel table: number, firmware and status of every measuring channel.
// Views the mirror's record in place; the window resets the model around every refill.
class StationInfoTableModel : public HeaderTableModel
{
    Q_OBJECT

public:
    StationInfoTableModel(StationInfo* info, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;

    // "готов" for status 0, otherwise the error code in four hexadecimal digits.
    static QString statusText(int statusLow, int statusHigh);

protected:
    QVariant cellData(const QModelIndex& index, int role) const override;

private:
    StationInfo* m_info;
};

#endif
