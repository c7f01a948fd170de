#include "ui/sequencegeneratordialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox* spinBox(int minimum, int maximum, int value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

const SequenceGenerator::Array ArrayOrder[] = {
    SequenceGenerator::Array::WennerAlpha, SequenceGenerator::Array::WennerSchlumberger,
    SequenceGenerator::Array::DipoleDipole, SequenceGenerator::Array::PoleDipole, SequenceGenerator::Array::Gradient};

// The choices of the last sequence written in this program run: the next one is mostly alike.
struct LastChoice
{
    bool valid = false;
    SequenceGenerator::Options options;
    QString elevation;
};

LastChoice& lastChoice()
{
    static LastChoice choice;
    return choice;
}

} // namespace

SequenceGeneratorDialog::SequenceGeneratorDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Создание последовательности"));
    setObjectName(QStringLiteral("sequence_generator"));

    m_array = new QComboBox(this);
    for (const SequenceGenerator::Array array : ArrayOrder)
        m_array->addItem(SequenceGenerator::arrayName(array), int(array));
    const SequenceGenerator::Options defaults;
    m_electrodes = spinBox(3, Electrodes::Count, defaults.electrodeCount, this);
    m_spacing = new QDoubleSpinBox(this);
    m_spacing->setRange(0.1, 1000.0);
    m_spacing->setDecimals(2);
    m_spacing->setValue(defaults.spacing);
    m_spacing->setSuffix(tr(" м"));
    m_first = spinBox(1, Electrodes::Count, 1, this);
    m_last = spinBox(1, Electrodes::Count, Electrodes::Count, this);
    m_aMin = spinBox(1, Electrodes::Count, defaults.aMin, this);
    m_aMax = spinBox(0, Electrodes::Count, 0, this);
    m_aMax->setSpecialValueText(tr("все"));
    m_nMin = spinBox(1, Electrodes::Count, defaults.nMin, this);
    m_nMax = spinBox(1, Electrodes::Count, defaults.nMax, this);
    m_channels = spinBox(1, 255, defaults.channels, this);
    m_reciprocal = new QCheckBox(tr("Взаимные измерения (AB и MN поменяны)"), this);
    m_ipOrder = new QCheckBox(tr("Порядок для ВП (без поляризованных M, N)"), this);
    m_elevation = new QLineEdit(this);
    m_elevation->setPlaceholderText(tr("файл x z (необязательно)"));
    auto* elevationButton = new QPushButton(QStringLiteral("…"), this);
    m_name = new QLineEdit(this);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_summary->setMinimumHeight(m_summary->fontMetrics().lineSpacing() * 4);

    const auto pair = [this](QWidget* left, QWidget* right) {
        auto* row = new QHBoxLayout;
        row->addWidget(left, 1);
        row->addWidget(new QLabel(QStringLiteral("–"), this));
        row->addWidget(right, 1);
        return row;
    };
    auto* elevationRow = new QHBoxLayout;
    elevationRow->addWidget(m_elevation, 1);
    elevationRow->addWidget(elevationButton);

    auto* form = new QFormLayout;
    form->addRow(tr("Установка"), m_array);
    form->addRow(tr("Электродов"), m_electrodes);
    form->addRow(tr("Шаг"), m_spacing);
    form->addRow(tr("Электроды от – до"), pair(m_first, m_last));
    form->addRow(tr("a (в шагах) от – до"), pair(m_aMin, m_aMax));
    form->addRow(tr("n от – до"), pair(m_nMin, m_nMax));
    form->addRow(tr("Каналов на шаг"), m_channels);
    form->addRow(QString(), m_reciprocal);
    form->addRow(QString(), m_ipOrder);
    form->addRow(tr("Рельеф"), elevationRow);
    form->addRow(tr("Имя файла"), m_name);

    m_create = new QPushButton(tr("Создать"), this);
    auto* cancel = new QPushButton(tr("Отмена"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cancel, 1);
    buttons->addWidget(m_create, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_summary);
    layout->addLayout(buttons);

    if (lastChoice().valid) {
        const SequenceGenerator::Options& o = lastChoice().options;
        m_array->setCurrentIndex(qMax(0, m_array->findData(int(o.array))));
        m_electrodes->setValue(o.electrodeCount);
        m_spacing->setValue(o.spacing);
        m_first->setValue(o.first);
        m_last->setValue(o.last);
        m_aMin->setValue(o.aMin);
        m_aMax->setValue(o.aMax);
        m_nMin->setValue(o.nMin);
        m_nMax->setValue(o.nMax);
        m_channels->setValue(o.channels);
        m_reciprocal->setChecked(o.reciprocals);
        m_ipOrder->setChecked(o.ipOrder);
        m_elevation->setText(lastChoice().elevation);
    }

    const auto changed = [this] {
        // Wenner-alpha has no separation factor.
        const bool hasN = SequenceGenerator::Array(m_array->currentData().toInt()) != SequenceGenerator::Array::WennerAlpha;
        m_nMin->setEnabled(hasN);
        m_nMax->setEnabled(hasN);
        proposeName();
        updateSummary();
    };
    connect(m_array, QOverload<int>::of(&QComboBox::currentIndexChanged), this, changed);
    for (QSpinBox* box : {m_electrodes, m_first, m_last, m_aMin, m_aMax, m_nMin, m_nMax, m_channels})
        connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, changed);
    connect(m_spacing, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    connect(m_reciprocal, &QCheckBox::toggled, this, changed);
    connect(m_ipOrder, &QCheckBox::toggled, this, changed);
    connect(m_elevation, &QLineEdit::textChanged, this, changed);
    connect(m_name, &QLineEdit::textEdited, this, [this] { m_nameEdited = true; });
    connect(elevationButton, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Рельеф"), m_directory);
        if (!path.isEmpty())
            m_elevation->setText(path);
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_create, &QPushButton::clicked, this, &SequenceGeneratorDialog::onCreateClicked);
    changed();
}

void SequenceGeneratorDialog::setTarget(const QString& directory)
{
    m_directory = directory;
}

void SequenceGeneratorDialog::setSurveyTiming(int pulseMs, int pauseMs, int periods, int channels)
{
    m_pulse = pulseMs;
    m_pause = pauseMs;
    m_periods = periods;
    if (channels > 0)
        m_channels->setValue(channels);
    updateSummary();
}

SequenceGenerator::Options SequenceGeneratorDialog::options() const
{
    SequenceGenerator::Options o;
    o.array = SequenceGenerator::Array(m_array->currentData().toInt());
    o.electrodeCount = m_electrodes->value();
    o.spacing = m_spacing->value();
    o.first = m_first->value();
    o.last = m_last->value();
    o.aMin = m_aMin->value();
    o.aMax = m_aMax->value();
    o.nMin = m_nMin->value();
    o.nMax = m_nMax->value();
    o.channels = m_channels->value();
    o.reciprocals = m_reciprocal->isChecked();
    o.ipOrder = m_ipOrder->isChecked();
    return o;
}

QString SequenceGeneratorDialog::summaryText() const
{
    return m_summary->text();
}

void SequenceGeneratorDialog::proposeName()
{
    if (m_nameEdited)
        return;
    const SequenceGenerator::Options o = options();
    m_name->setText(QStringLiteral("%1-%2x%3m.txt")
                        .arg(SequenceGenerator::arrayKey(o.array))
                        .arg(o.electrodeCount)
                        .arg(QString::number(o.spacing, 'g', 6)));
}

void SequenceGeneratorDialog::updateSummary()
{
    SequenceGenerator::Options o = options();
    QString error;
    bool ok = true;
    if (!m_elevation->text().trimmed().isEmpty())
        ok = SequenceGenerator::readElevation(m_elevation->text().trimmed(), &o.elevation, &error);
    ok = ok && m_generator.generate(o);
    if (ok)
        error.clear();
    else if (error.isEmpty())
        error = m_generator.errorString();
    m_summary->setText(ok ? m_generator.summary(m_pulse, m_pause, m_periods) : error);
    m_summary->setObjectName(ok ? QStringLiteral("generator_summary") : QStringLiteral("generator_error"));
    m_create->setEnabled(ok);
}

void SequenceGeneratorDialog::onCreateClicked()
{
    updateSummary();
    if (!m_create->isEnabled())
        return;
    QString name = m_name->text().trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        m_summary->setText(tr("Задайте имя файла без папки: он пишется в папку последовательностей"));
        return;
    }
    if (!name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
        name += QStringLiteral(".txt");
    const QString path = QDir(m_directory).filePath(name);
    // A sequence of the same name may be one the operator edited by hand.
    if (QFileInfo::exists(path)
        && QMessageBox::question(this, windowTitle(), tr("Файл %1 уже есть. Заменить его?").arg(name))
            != QMessageBox::Yes)
        return;
    if (!m_generator.write(path)) {
        m_summary->setText(m_generator.errorString());
        return;
    }
    m_writtenPath = path;
    lastChoice() = {true, options(), m_elevation->text()};
    accept();
}
