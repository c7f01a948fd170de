#ifndef TOGGLE_H
#define TOGGLE_H

#include <QColor>
#include <QList>
#include <QSize>
#include <QStringList>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;

// A row of joined, mutually exclusive push buttons; announces the id of the button that became checked.
class Toggle : public QWidget
{
    Q_OBJECT

public:
    explicit Toggle(const QStringList& labels, QWidget* parent = nullptr);
    Toggle(const QStringList& labels, int width, int height, QWidget* parent = nullptr);
    Toggle(const QStringList& labels, int width, int height, const QColor& accent, const QColor& background,
           QWidget* parent = nullptr);
    Toggle(const QStringList& labels, const QList<int>& ids, QWidget* parent = nullptr);
    Toggle(const QStringList& labels, const QList<int>& ids, int width, int height, QWidget* parent = nullptr);
    Toggle(const QStringList& labels, const QList<int>& ids, int width, int height, const QColor& accent,
           const QColor& background, QWidget* parent = nullptr);

    QAbstractButton* button(int id) const;

Q_SIGNALS:
    void toggled(int id);

public Q_SLOTS:
    void onButtonToggled(int id, bool checked);

private:
    void createButtons();

    QStringList m_labels;
    QList<int> m_ids;
    QSize m_buttonSize = QSize(120, 32);
    QColor m_accentColor = QColor(QStringLiteral("#007AFF"));
    QColor m_backgroundColor = QColor(QStringLiteral("#EBEBF3"));
    QButtonGroup* m_group = nullptr;
};

#endif
