#ifndef FRESHDIALOGGUARD_H
#define FRESHDIALOGGUARD_H

#include <QElapsedTimer>
#include <QObject>

class QWidget;

// A box that opens while the operator is pressing Space (to continue a paused run) or Enter must
// not be dismissed by that key unseen: for its first moments the box ignores them.
class FreshDialogGuard : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultMs = 800;

    // Lives as long as the dialog.
    explicit FreshDialogGuard(QWidget* dialog, int milliseconds = DefaultMs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_dialog;
    int m_milliseconds;
    QElapsedTimer m_shown;
};

#endif
