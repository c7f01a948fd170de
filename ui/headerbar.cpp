#include "ui/headerbar.h"

#include "ui/windowparts.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QPushButton* fixedButton(const QString& text, int width, int height, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setFixedSize(width, height);
    return button;
}

QFrame* separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("vertical_header_separator"));
    line->setFixedSize(1, 30);
    return line;
}

} // namespace

HeaderBar::HeaderBar(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("header"));
    setFixedHeight(50);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(5, 0, 5, 0);
    layout->setSpacing(5);

    m_container = new QWidget(this);
    auto* container = new QHBoxLayout(m_container);
    container->setContentsMargins(0, 0, 0, 0);
    // Tight enough that the whole header fits a 1024 px screen.
    container->setSpacing(6);
    container->addWidget(createToggle(&m_controlViewGroup,
                                      {WindowParts::tr("СТАНЦИЯ"), WindowParts::tr("НАСТРОЙКА"),
                                       WindowParts::tr("ЗАПИСЬ")},
                                      m_container));
    container->addWidget(separator(m_container));
    container->addWidget(createToggle(&m_resultViewGroup,
                                      {WindowParts::tr("ГРАФИК"), WindowParts::tr("ТАБЛИЦА"),
                                       WindowParts::tr("РАЗРЕЗ")},
                                      m_container));
    container->addWidget(separator(m_container));
    // No value until the station has reported one.
    m_battery = new QLabel(m_container);
    m_battery->setStyleSheet(QStringLiteral("QLabel {color:black;font-weight:500;}"));
    m_battery->setFixedSize(60, 32);
    m_battery->setAlignment(Qt::AlignCenter);
    container->addWidget(m_battery);
    container->addWidget(separator(m_container));
    m_progressInfo = new QLabel(m_container);
    m_progressInfo->setObjectName(QStringLiteral("survey_progress_info_label"));
    // The label takes the header's free room whatever its text, and keeps it while hidden: a growing
    // text neither widens the window nor moves the header buttons; a long one is elided.
    m_progressInfo->setFixedHeight(32);
    m_progressInfo->setMinimumWidth(80);
    QSizePolicy progressPolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    progressPolicy.setRetainSizeWhenHidden(true);
    m_progressInfo->setSizePolicy(progressPolicy);
    m_progressInfo->setAlignment(Qt::AlignCenter);
    m_progressInfo->hide();
    container->addWidget(m_progressInfo);
    setConnected(false);
    connect(m_controlViewGroup, &QButtonGroup::idToggled, this, &HeaderBar::controlViewToggled);
    connect(m_resultViewGroup, &QButtonGroup::idToggled, this, &HeaderBar::resultViewToggled);

    layout->addWidget(m_container, 1);
    // Keeps the buttons together on the right while the container is hidden (connect page).
    layout->addStretch(0);
    auto* fullScreen = fixedButton(QString(), 40, 32, this);
    fullScreen->setIcon(QIcon(QStringLiteral(":/fsi.svg")));
    fullScreen->setIconSize(QSize(24, 24));
    fullScreen->setToolTip(WindowParts::tr("Во весь экран / в окне"));
    auto* reconnect = fixedButton(QStringLiteral("<->"), 48, 32, this);
    reconnect->setToolTip(WindowParts::tr("Отключиться от станции"));
    auto* setup = fixedButton(WindowParts::tr("Параметры"), 90, 32, this);
    setup->setToolTip(WindowParts::tr("Адрес станции, параметры тестов, язык интерфейса"));
    auto* viewer = fixedButton(WindowParts::tr("Обработка"), 90, 32, this);
    viewer->setToolTip(WindowParts::tr("Просмотр и обработка файлов данных (.etr)"));
    for (QPushButton* button : {fullScreen, reconnect, setup, viewer})
        layout->addWidget(button);
    connect(fullScreen, &QPushButton::clicked, this, &HeaderBar::fullScreenClicked);
    connect(reconnect, &QPushButton::clicked, this, &HeaderBar::reconnectClicked);
    connect(setup, &QPushButton::clicked, this, &HeaderBar::setupClicked);
    connect(viewer, &QPushButton::clicked, this, &HeaderBar::viewerClicked);
}

QWidget* HeaderBar::createToggle(QButtonGroup** group, const QStringList& labels, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("view_frame"));
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    *group = new QButtonGroup(frame);
    for (int id = 0; id < labels.size(); ++id) {
        QPushButton* button = WindowParts::tabButton(labels[id], frame);
        button->setChecked(id == 0);
        (*group)->addButton(button, id);
        layout->addWidget(button);
    }
    return frame;
}

void HeaderBar::setConnected(bool connected)
{
    m_container->setVisible(connected);
    m_battery->setVisible(connected);
}

void HeaderBar::setBatteryVoltage(double volts)
{
    m_battery->setText(WindowParts::tr("%1В").arg(QString::number(volts, 'f', 1)));
}

void HeaderBar::setBatteryLow(bool low)
{
    m_battery->setStyleSheet(low ? QStringLiteral("QLabel {color:#E07000;font-weight:700;}")
                                 : QStringLiteral("QLabel {color:black;font-weight:500;}"));
}

void HeaderBar::setProgressText(const QString& text, const QString& brief)
{
    m_progressInfo->setToolTip(text);
    m_progressBrief = brief;
    elideProgressText();
}

void HeaderBar::setProgressVisible(bool visible)
{
    m_progressInfo->setVisible(visible);
}

void HeaderBar::elideProgressText()
{
    // A narrow header keeps the remaining time: the short form drops the words, not the numbers.
    const QFontMetrics metrics = m_progressInfo->fontMetrics();
    const int width = m_progressInfo->contentsRect().width();
    const QString full = m_progressInfo->toolTip();
    const QString text = metrics.horizontalAdvance(full) <= width ? full : m_progressBrief;
    m_progressInfo->setText(metrics.elidedText(text, Qt::ElideRight, width));
}

void HeaderBar::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    if (!m_progressInfo->toolTip().isEmpty())
        elideProgressText();
}
