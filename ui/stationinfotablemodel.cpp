#include "ui/stationinfotablemodel.h"

#include "station/stationrecords.h"

StationInfoTableModel::StationInfoTableModel(StationInfo* info, QObject* parent)
    : HeaderTableModel({tr("Канал"), tr("Версия ПО"), tr("Статус")}, parent), m_info(info)
{
}

int StationInfoTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_info)
        return 0;
    return m_info->channels.size();
}

QVariant StationInfoTableModel::cellData(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();

    const ChannelInfo& channel = m_info->channels.at(index.row());
    switch (index.column()) {
    case 0:
        return int(channel.number);
    case 1:
        return QStringLiteral("%1.%2").arg(channel.versionMajor).arg(channel.versionMinor);
    case 2:
        return statusText(channel.statusLow, channel.statusHigh);
    default:
        return QVariant();
    }
}

QString StationInfoTableModel::statusText(int statusLow, int statusHigh)
{
    // Each status byte arrives widened to 16 bits; only the low bytes carry the code.
    const int code = (statusLow & 0xff) + 256 * (statusHigh & 0xff);
    if (code == 0)
        return tr("готов");
    return QStringLiteral("%1: 0x%2").arg(tr("ошибка")).arg(code, 4, 16, QLatin1Char('0'));
}
