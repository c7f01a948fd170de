#include "ui/stationsettingstablemodel.h"

#include "station/stationrecords.h"

StationSettingsTableModel::StationSettingsTableModel(ElectrodeSettings* settings, QObject* parent)
    : HeaderTableModel({tr("Вкл"), QStringLiteral("#"), QStringLiteral("Pm"), QStringLiteral("Pn"), tr("Усил.")}, parent), m_settings(settings)
{
}

int StationSettingsTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_settings)
        return 0;
    return m_settings->channels.size();
}

QVariant StationSettingsTableModel::cellData(const QModelIndex& index, int role) const
{
    const ChannelSetting& channel = m_settings->channels.at(index.row());
    if (index.column() == AvailableColumn) {
        if (role != Qt::CheckStateRole)
            return QVariant();
        return channel.available != 0 ? Qt::Checked : Qt::Unchecked;
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    switch (index.column()) {
    case NumberColumn:
        return int(channel.number);
    case ElectrodeMColumn:
        return int(channel.electrodeM);
    case ElectrodeNColumn:
        return int(channel.electrodeN);
    case GainColumn:
        return gainText(channel.gain);
    default:
        return QVariant();
    }
}

bool StationSettingsTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!isCell(index))
        return false;
    ChannelSetting& channel = m_settings->channels[index.row()];
    // The check box is a plain switch: whatever state the view passes, a click flips it.
    if (role == Qt::CheckStateRole) {
        channel.available = channel.available != 0 ? 0 : 1;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }
    switch (index.column()) {
    case ElectrodeMColumn:
        channel.electrodeM = quint16(value.toInt());
        break;
    case ElectrodeNColumn:
        channel.electrodeN = quint16(value.toInt());
        break;
    default:
        return false;
    }
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags StationSettingsTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsEnabled;
    switch (index.column()) {
    case AvailableColumn:
        return Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
    case ElectrodeMColumn:
    case ElectrodeNColumn:
        return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
    default:
        return QAbstractTableModel::flags(index);
    }
}

QString StationSettingsTableModel::gainText(int code)
{
    static const char* const Factors[] = {"0.125", "0.250", "0.500", "1",  "2",  "4",
                                          "8",     "16",    "32",    "64", "128"};
    constexpr int CodeCount = int(sizeof(Factors) / sizeof(Factors[0]));
    if (code < 0 || code >= CodeCount)
        return QString();
    return QString::fromLatin1(Factors[code]);
}
