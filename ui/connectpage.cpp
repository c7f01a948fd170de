#include "ui/connectpage.h"

#include "ui/windowparts.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

ConnectPage::ConnectPage(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    auto* frame = new QFrame(this);
    frame->setFixedHeight(76);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    m_connectStack = new QStackedWidget(frame);
    m_connectStack->setFixedSize(130, 40);
    m_connectButton = new QPushButton(WindowParts::tr("Подключить"), m_connectStack);
    m_connectButton->setObjectName(QStringLiteral("conn_btn"));
    m_connectStack->addWidget(m_connectButton);
    frameLayout->addWidget(m_connectStack, 0, Qt::AlignHCenter);
    m_connectionState = new QLabel(frame);
    m_connectionState->setObjectName(QStringLiteral("connection_state_label"));
    m_connectionState->setAlignment(Qt::AlignCenter);
    frameLayout->addWidget(m_connectionState);
    layout->addWidget(frame);
    layout->addStretch();
    connect(m_connectButton, &QPushButton::clicked, this, &ConnectPage::connectClicked);
}

void ConnectPage::setStateText(const QString& text)
{
    m_connectionState->setText(text);
}

void ConnectPage::showConnectButton()
{
    m_connectStack->setCurrentWidget(m_connectButton);
}

void ConnectPage::setConnectEnabled(bool enabled)
{
    m_connectButton->setEnabled(enabled);
}
