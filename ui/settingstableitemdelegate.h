#ifndef SETTINGSTABLEITEMDELEGATE_H
#define SETTINGSTABLEITEMDELEGATE_H

#include <QStyledItemDelegate>

// Gives the potential-electrode columns of the station-settings table a spin box limited to the
// cable's electrodes (0 = none).
class SettingsTableItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};

#endif
