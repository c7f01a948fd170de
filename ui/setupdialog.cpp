#include "ui/setupdialog.h"

#include "app/startup.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int Width = 250;

}

SetupDialog::SetupDialog(bool relayMode, const QString& language, QWidget* parent)
    : QDialog(parent), m_language(language)
{
    setWindowTitle(tr("Параметры"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(5);
    layout->setContentsMargins(0, 0, 0, 0);
    auto addButton = [this, layout](const QString& text, void (SetupDialog::*signal)()) {
        auto* button = new QPushButton(text, this);
        button->setFixedSize(Width, 40);
        layout->addWidget(button, 0, Qt::AlignHCenter);
        connect(button, &QPushButton::clicked, this, signal);
    };
    addButton(tr("Напряжение для теста"), &SetupDialog::testVoltageClicked);
    if (relayMode) {
        addButton(tr("Базовое сопротивление"), &SetupDialog::testRBaseClicked);
        addButton(tr("Отклонение сопротивления"), &SetupDialog::testRDeltaClicked);
    }

    auto* languageLabel = new QLabel(tr("Язык интерфейса"), this);
    languageLabel->setFixedWidth(Width);
    layout->addWidget(languageLabel, 0, Qt::AlignHCenter);
    // Language names stay in their own language, so either can be found whatever is shown.
    auto* choice = new QComboBox(this);
    choice->setObjectName(QStringLiteral("language_choice"));
    choice->setFixedWidth(Width);
    choice->addItem(tr("Как в системе"), QString());
    choice->addItem(QStringLiteral("Русский"), Startup::russian());
    choice->addItem(QStringLiteral("English"), Startup::english());
    choice->setCurrentIndex(qMax(0, choice->findData(language)));
    layout->addWidget(choice, 0, Qt::AlignHCenter);
    connect(choice, QOverload<int>::of(&QComboBox::activated), this, [this, choice](int index) {
        const QString chosen = choice->itemData(index).toString();
        if (chosen == m_language)
            return;
        m_language = chosen;
        Q_EMIT languageChosen(chosen);
    });
}
