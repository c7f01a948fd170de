#ifndef STATIONSETTINGSTABLEMODEL_H
#define STATIONSETTINGSTABLEMODEL_H

#include "ui/headertablemodel.h"

struct ElectrodeSettings;

// The settings page's channel table: on/off switch, number, potential electrodes and gain of
// every channel, edited in place in the mirror (the settings travel to the station with each record).
class StationSettingsTableModel : public HeaderTableModel
{
    Q_OBJECT

public:
    enum Column { AvailableColumn, NumberColumn, ElectrodeMColumn, ElectrodeNColumn, GainColumn };

    StationSettingsTableModel(ElectrodeSettings* settings, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Amplification factor 2^(code - 3) as shown to the operator; empty for an unknown code.
    static QString gainText(int code);

protected:
    QVariant cellData(const QModelIndex& index, int role) const override;

private:
    ElectrodeSettings* m_settings;
};

#endif
