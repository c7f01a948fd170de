#ifndef STATUSLINE_H
#define STATUSLINE_H

#include <QLabel>

// The line under the work area that tells what the last run or connection attempt ended with. A long
// path must not widen the window: the line is elided and shows the whole text as a tip.
class StatusLine : public QLabel
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget* parent = nullptr);

    QString status() const { return m_status; }
    void setStatus(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString m_status;
};

#endif
