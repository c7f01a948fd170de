#include "ui/freshdialogguard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

FreshDialogGuard::FreshDialogGuard(QWidget* dialog, int milliseconds)
    : QObject(dialog)
    , m_dialog(dialog)
    , m_milliseconds(milliseconds)
{
    m_shown.start();
    // The key goes to whichever button of the dialog has the focus.
    qApp->installEventFilter(this);
}

bool FreshDialogGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched == m_dialog)
        m_shown.restart();
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_dialog)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // A key held down since before the dialog appeared keeps repeating: it is swallowed too.
    return m_shown.elapsed() < m_milliseconds || static_cast<QKeyEvent*>(event)->isAutoRepeat();
}
