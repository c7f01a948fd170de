#include "ui/toggle.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

QString styleSheetFor(const QString& objectName, const QColor& accent, const QColor& background)
{
    QString normal;
    if (objectName == QLatin1String("leftToggleBtn")) {
        normal = QStringLiteral("QPushButton#leftToggleBtn {color: #242528; border:1px solid %1; border-radius:0; "
                                "border-top-left-radius: 3px; border-bottom-left-radius: 3px; background-color:%2}");
    } else if (objectName == QLatin1String("innerToggleBtn")) {
        normal = QStringLiteral("QPushButton#innerToggleBtn {color: #242528; border: 1px solid %1; border-left: 0px; "
                                "border-radius:0; background-color:%2}");
    } else {
        normal = QStringLiteral("QPushButton#rightToggleBtn {color: #242528; border:1px solid %1; border-left: 0px; "
                                "border-radius:0; border-top-right-radius: 3px; border-bottom-right-radius: 3px; "
                                "background-color:%2}");
    }
    const QString checked = QStringLiteral("QPushButton#%1:checked {background-color:%2; color:white}");
    return normal.arg(accent.name(), background.name()) + QLatin1Char(' ') + checked.arg(objectName, accent.name());
}

}

Toggle::Toggle(const QStringList& labels, QWidget* parent)
    : Toggle(labels, QList<int>(), parent)
{
}

Toggle::Toggle(const QStringList& labels, int width, int height, QWidget* parent)
    : Toggle(labels, QList<int>(), width, height, parent)
{
}

Toggle::Toggle(const QStringList& labels, int width, int height, const QColor& accent, const QColor& background,
               QWidget* parent)
    : Toggle(labels, QList<int>(), width, height, accent, background, parent)
{
}

Toggle::Toggle(const QStringList& labels, const QList<int>& ids, QWidget* parent)
    : QWidget(parent)
    , m_labels(labels)
    , m_ids(ids)
{
    createButtons();
}

Toggle::Toggle(const QStringList& labels, const QList<int>& ids, int width, int height, QWidget* parent)
    : QWidget(parent)
    , m_labels(labels)
    , m_ids(ids)
    , m_buttonSize(width, height)
{
    createButtons();
}

Toggle::Toggle(const QStringList& labels, const QList<int>& ids, int width, int height, const QColor& accent,
               const QColor& background, QWidget* parent)
    : QWidget(parent)
    , m_labels(labels)
    , m_ids(ids)
    , m_buttonSize(width, height)
    , m_accentColor(accent)
    , m_backgroundColor(background)
{
    createButtons();
}

QAbstractButton* Toggle::button(int id) const
{
    return m_group->button(id);
}

void Toggle::onButtonToggled(int id, bool checked)
{
    if (checked)
        Q_EMIT toggled(id);
}

void Toggle::createButtons()
{
    m_group = new QButtonGroup(this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch();

    const int last = m_labels.size() - 1;
    for (int i = 0; i <= last; ++i) {
        QString name;
        if (i == 0)
            name = QStringLiteral("leftToggleBtn");
        else if (i == last)
            name = QStringLiteral("rightToggleBtn");
        else
            name = QStringLiteral("innerToggleBtn");

        auto* button = new QPushButton(m_labels.at(i), this);
        button->setStyleSheet(styleSheetFor(name, m_accentColor, m_backgroundColor));
        button->setObjectName(name);
        button->setFixedSize(m_buttonSize);
        button->setFocusPolicy(Qt::NoFocus);
        button->setCheckable(true);
        button->setChecked(i == 0);

        m_group->addButton(button, m_ids.isEmpty() ? i : m_ids.value(i, i));
        layout->addWidget(button);
    }
    connect(m_group, &QButtonGroup::idToggled, this, &Toggle::onButtonToggled);
}
