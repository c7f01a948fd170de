#include "ui/statusline.h"

StatusLine::StatusLine(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("status_line"));
    setFixedHeight(24);
    setContentsMargins(10, 0, 10, 0);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void StatusLine::setStatus(const QString& text)
{
    m_status = text;
    setToolTip(text);
    setText(fontMetrics().elidedText(text, Qt::ElideMiddle, qMax(0, contentsRect().width())));
}

void StatusLine::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    setStatus(m_status);
}
