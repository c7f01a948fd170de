#include "ui/stationpage.h"

#include "station/itervexsettings.h"
#include "ui/clickablelabel.h"
#include "ui/panel.h"
#include "ui/stationinfotablemodel.h"
#include "ui/windowparts.h"

#include <QGridLayout>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

StationPage::StationPage(ITervexSettings* settings, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    const QStringList captions = {WindowParts::tr("Серийный номер:"), WindowParts::tr("ПО адаптера:"),
                                  WindowParts::tr("ПО генератора:"), WindowParts::tr("Координаты GPS:")};
    auto* panel = new Panel(WindowParts::tr("Информация"), this);
    m_serial = new QLabel(panel);
    m_adapter = new QLabel(panel);
    m_generator = new QLabel(panel);
    m_gps = new ClickableLabel(QString(), panel);
    m_gps->setCursor(Qt::PointingHandCursor);
    m_gps->setStyleSheet(QStringLiteral("QLabel {color: #007FFF; text-decoration: underline}"));
    connect(m_gps, &ClickableLabel::clicked, this, &StationPage::gpsClicked);
    const QList<QLabel*> values = {m_serial, m_adapter, m_generator, m_gps};
    for (int row = 0; row < captions.size(); ++row) {
        auto* caption = new QLabel(captions[row], panel);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(caption, row, 0);
        values[row]->setFixedWidth(200);
        grid->addWidget(values[row], row, 1);
    }
    m_infoModel = new StationInfoTableModel(m_settings->stationInfo(), this);
    m_infoTable = WindowParts::stationTable(panel);
    m_infoTable->setModel(m_infoModel);
    m_infoTable->setSelectionMode(QAbstractItemView::NoSelection);
    auto* content = new QVBoxLayout;
    content->addLayout(grid);
    content->addWidget(m_infoTable);
    panel->setContentLayout(content);
    layout->addWidget(panel);
    layout->addStretch();
}

void StationPage::beginSettingsUpdate()
{
    m_infoModel->beginResetModel();
}

void StationPage::endSettingsUpdate()
{
    m_infoModel->endResetModel();
    const StationInfo* info = m_settings->stationInfo();
    m_serial->setText(QStringLiteral("%1").arg(info->serialNumber));
    m_adapter->setText(QStringLiteral("%1.%2").arg(info->adapterVersionMajor).arg(info->adapterVersionMinor));
    m_generator->setText(QStringLiteral("%1.%2").arg(info->generatorVersionMajor).arg(info->generatorVersionMinor));
    WindowParts::fitStationTable(m_infoTable, m_settings->electrodeSettings()->channels.size());
    m_infoTable->setColumnWidth(0, 100);
    m_infoTable->setColumnWidth(1, 100);
}

QString StationPage::gpsText() const
{
    return m_gps->text();
}

void StationPage::setGpsText(const QString& text)
{
    m_gps->setText(text);
}
