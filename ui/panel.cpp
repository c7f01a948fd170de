#include "ui/panel.h"

#include <QLabel>
#include <QVBoxLayout>

Panel::Panel(QWidget* parent)
    : Panel(QString(), nullptr, parent)
{
}

Panel::Panel(const QString& title, QWidget* parent)
    : Panel(title, nullptr, parent)
{
}

Panel::Panel(const QString& title, QLayout* content, QWidget* parent)
    : QFrame(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    m_titleLabel = new QLabel(title, this);
    m_titleLabel->setObjectName(QStringLiteral("panel_title"));
    m_titleLabel->setFixedHeight(26);
    m_titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    m_contentFrame = new QFrame(this);
    m_contentFrame->setObjectName(QStringLiteral("panel_content"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_titleLabel);
    layout->addWidget(m_contentFrame, 1);

    setContentLayout(content);
}

QString Panel::title() const
{
    return m_titleLabel->text();
}

void Panel::setTitle(const QString& title)
{
    m_titleLabel->setText(title);
}

void Panel::setContentLayout(QLayout* layout)
{
    if (!layout)
        return;
    // A widget keeps its first layout; the previous one goes with its items so the new one can take over.
    delete m_contentFrame->layout();
    m_contentLayout = layout;
    m_contentFrame->setLayout(layout);
}
