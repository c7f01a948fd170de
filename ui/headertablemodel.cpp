#include "ui/headertablemodel.h"

HeaderTableModel::HeaderTableModel(const QStringList& headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(headers)
{
}

int HeaderTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_headers.size();
}

QVariant HeaderTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= m_headers.size())
        return QVariant();
    return m_headers.at(section);
}

QVariant HeaderTableModel::data(const QModelIndex& index, int role) const
{
    if (!isCell(index))
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return cellData(index, role);
}

bool HeaderTableModel::isCell(const QModelIndex& index) const
{
    return index.isValid() && index.row() >= 0 && index.column() >= 0 && index.row() < rowCount()
           && index.column() < columnCount();
}
