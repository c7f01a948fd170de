#ifndef HEADERTABLEMODEL_H
#define HEADERTABLEMODEL_H

#include <QAbstractTableModel>
#include <QStringList>

// Common ground of the station and measurement tables: a fixed list of column headers, centred
// cells, and a public reset bracket so the window can wrap a refill of the records it views.
class HeaderTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    HeaderTableModel(const QStringList& headers, QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Centres every cell and leaves the rest of a valid cell to cellData().
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endResetModel;

protected:
    // True for an index inside the table.
    bool isCell(const QModelIndex& index) const;
    // Any role but the alignment of a cell inside the table.
    virtual QVariant cellData(const QModelIndex& index, int role) const = 0;

private:
    QStringList m_headers;
};

#endif
