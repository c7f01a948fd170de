#include "ui/contactcheckdialog.h"

#include "ui/measurementplot.h"

#include <qcustomplot.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString kiloOhms(double ohms)
{
    return QString::number(ohms / 1000.0, 'f', 1);
}

} // namespace

ContactCheckDialog::ContactCheckDialog(const ContactGate& gate, const QVector<TestPlanEntry>& plan,
                                       const QVector<TestResult>& results, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("contact_check_dialog"));
    setWindowTitle(tr("Проверка контактов"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(10);

    QStringList electrodes;
    for (const ContactGate::Electrode& e : gate.aboveLimit())
        electrodes << tr("%1 — %2 кОм").arg(e.number).arg(kiloOhms(double(e.ohms)));
    auto* text = new QLabel(tr("<p><b>Сопротивление заземления выше %1 кОм у электродов:</b> %2</p>"
                               "<p>Исправьте их и проверьте снова, пропустите квадруполи с ними или "
                               "продолжите съёмку со всеми квадруполями.</p>")
                                .arg(kiloOhms(gate.limitOhms()), electrodes.join(QStringLiteral(", "))),
                            this);
    text->setObjectName(QStringLiteral("contact_check_text"));
    text->setWordWrap(true);
    layout->addWidget(text);

    auto* chartFrame = new QWidget(this);
    auto* chartLayout = new QVBoxLayout(chartFrame);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    m_chart = new MeasurementPlot(nullptr, nullptr, chartFrame);
    m_chart->plot()->setMinimumSize(560, 300);
    chartLayout->addWidget(m_chart->plot());
    m_chart->buildTestChart(plan);
    m_chart->updateTestChart(results);
    layout->addWidget(chartFrame, 1);

    auto* retest = new QPushButton(tr("Проверить снова"), this);
    auto* leaveOut = new QPushButton(tr("Без квадруполей с ними (%1)").arg(gate.leftOutCount()), this);
    auto* goOn = new QPushButton(tr("Продолжить со всеми"), this);
    auto* cancel = new QPushButton(tr("Отмена"), this);
    // A survey of none of its quadrupoles is no choice.
    leaveOut->setEnabled(!gate.keptLines().isEmpty());
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    for (QPushButton* button : {retest, leaveOut, goOn, cancel}) {
        button->setMinimumHeight(30);
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    connect(retest, &QPushButton::clicked, this, [this]() { choose(ContactGate::Choice::Retest); });
    connect(leaveOut, &QPushButton::clicked, this, [this]() { choose(ContactGate::Choice::LeaveOut); });
    connect(goOn, &QPushButton::clicked, this, [this]() { choose(ContactGate::Choice::GoOn); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ContactCheckDialog::choose(ContactGate::Choice choice)
{
    m_choice = choice;
    accept();
}
