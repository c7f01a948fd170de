#ifndef PANEL_H
#define PANEL_H

#include <QFrame>
#include <QString>

class QLabel;
class QLayout;

// A titled frame: a title line above a content frame that takes the layout handed to it.
class Panel : public QFrame
{
    Q_OBJECT

public:
    explicit Panel(QWidget* parent = nullptr);
    explicit Panel(const QString& title, QWidget* parent = nullptr);
    Panel(const QString& title, QLayout* content, QWidget* parent = nullptr);

    QString title() const;
    void setTitle(const QString& title);

    QLayout* contentLayout() const { return m_contentLayout; }
    void setContentLayout(QLayout* layout);

private:
    QLayout* m_contentLayout = nullptr;
    QFrame* m_contentFrame = nullptr;
    QLabel* m_titleLabel = nullptr;
};

#endif
