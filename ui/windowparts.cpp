#include "ui/windowparts.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

QPushButton* WindowParts::tabButton(const QString& text, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QStringLiteral("survey_type_button"));
    button->setFlat(true);
    button->setCheckable(true);
    button->setFixedHeight(30);
    return button;
}

QPushButton* WindowParts::barButton(const QString& text, const QString& objectName, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setFixedSize(48, 26);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QTableView* WindowParts::stationTable(QWidget* parent)
{
    auto* table = new QTableView(parent);
    table->setObjectName(QStringLiteral("sts_table"));
    table->horizontalHeader()->setObjectName(QStringLiteral("sts_header"));
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionsClickable(false);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return table;
}

void WindowParts::fitStationTable(QTableView* table, int channels)
{
    table->verticalHeader()->setDefaultSectionSize(30);
    for (int row = 0; row < table->model()->rowCount(); ++row)
        table->setRowHeight(row, 30);
    table->setFixedHeight(channels * 30 + 40);
}
