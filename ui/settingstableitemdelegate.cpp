#include "ui/settingstableitemdelegate.h"

#include "measurement/electrodeposition.h"
#include "ui/stationsettingstablemodel.h"

#include <QSpinBox>

static bool isElectrodeColumn(const QModelIndex& index)
{
    return index.column() == StationSettingsTableModel::ElectrodeMColumn
           || index.column() == StationSettingsTableModel::ElectrodeNColumn;
}

QWidget* SettingsTableItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                                 const QModelIndex& index) const
{
    if (!isElectrodeColumn(index))
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* editor = new QSpinBox(parent);
    editor->setRange(0, Electrodes::Count);
    return editor;
}

void SettingsTableItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* spinBox = qobject_cast<QSpinBox*>(editor)) {
        spinBox->setValue(index.data(Qt::EditRole).toInt());
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void SettingsTableItemDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                             const QModelIndex& index) const
{
    if (index.column() == StationSettingsTableModel::AvailableColumn) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    if (!isElectrodeColumn(index))
        return;
    if (auto* spinBox = qobject_cast<QSpinBox*>(editor)) {
        spinBox->interpretText();
        model->setData(index, spinBox->value(), Qt::EditRole);
    }
}
