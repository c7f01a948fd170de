#include "ui/settingspage.h"

#include "station/itervexsettings.h"
#include "ui/panel.h"
#include "ui/settingstableitemdelegate.h"
#include "ui/stationsettingstablemodel.h"
#include "ui/stationvaluebox.h"
#include "ui/windowparts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

SettingsPage::SettingsPage(ITervexSettings* settings, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* panel = new Panel(WindowParts::tr("Измерители"), this);
    auto* row = new QHBoxLayout;
    row->setSpacing(5);
    m_ca = new QSpinBox(panel);
    m_cb = new QSpinBox(panel);
    for (QSpinBox* box : {m_ca, m_cb}) {
        box->setRange(0, 48);
        box->setValue(1);
        box->setAlignment(Qt::AlignCenter);
    }
    row->addWidget(new QLabel(QStringLiteral("Ca:"), panel));
    row->addWidget(m_ca);
    row->addWidget(new QLabel(QStringLiteral("Cb:"), panel));
    row->addWidget(m_cb);
    connect(m_ca, QOverload<int>::of(&QSpinBox::valueChanged), this, &SettingsPage::caChanged);
    connect(m_cb, QOverload<int>::of(&QSpinBox::valueChanged), this, &SettingsPage::cbChanged);

    m_settingsModel = new StationSettingsTableModel(m_settings->electrodeSettings(), this);
    m_settingsTable = WindowParts::stationTable(panel);
    m_settingsTable->setModel(m_settingsModel);
    m_settingsTable->setItemDelegate(new SettingsTableItemDelegate(m_settingsTable));
    auto* content = new QVBoxLayout;
    content->addLayout(row);
    content->addWidget(m_settingsTable);
    panel->setContentLayout(content);
    layout->addWidget(panel);
    layout->addStretch();
}

void SettingsPage::beginSettingsUpdate()
{
    m_settingsModel->beginResetModel();
}

void SettingsPage::endSettingsUpdate()
{
    m_settingsModel->endResetModel();
    const ElectrodeSettings* electrodes = m_settings->electrodeSettings();
    StationValueBox::show(m_ca, electrodes->currentElectrodeA);
    StationValueBox::show(m_cb, electrodes->currentElectrodeB);
    WindowParts::fitStationTable(m_settingsTable, electrodes->channels.size());
    // At least as wide as the headers: "Вкл" and "Усил." must not be cut in either language.
    const int widths[5] = {30, 25, 100, 100, 41};
    const QFontMetrics header = m_settingsTable->horizontalHeader()->fontMetrics();
    int spare = 0;
    int fitted[5];
    for (int c = 0; c < 5; ++c) {
        const QString text = m_settingsModel->headerData(c, Qt::Horizontal).toString();
        fitted[c] = qMax(widths[c], header.horizontalAdvance(text) + 14);
        spare += fitted[c] - widths[c];
    }
    // The electrode columns give up what the headers need, so the table keeps its width.
    fitted[2] -= spare / 2;
    fitted[3] -= spare - spare / 2;
    for (int c = 0; c < 5; ++c)
        m_settingsTable->setColumnWidth(c, fitted[c]);
}
