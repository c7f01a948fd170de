#include "ui/exportdialog.h"

#include "etr/etrfile.h"
#include "etr/inversiondataset.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ExportDialog::ExportDialog(const EtrFile* file, bool withChargeability, QWidget* parent)
    : QDialog(parent)
    , m_file(file)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("export_dialog"));
    setWindowTitle(tr("Экспорт для инверсии"));
    setMinimumWidth(560);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_formatCombo = new QComboBox(this);
    m_formatCombo->setObjectName(QStringLiteral("export_format_combo"));
    for (InversionFormat f : {InversionFormat::Ohm, InversionFormat::ResIPy, InversionFormat::Res2DInv})
        m_formatCombo->addItem(InversionWriters::title(f), int(f));
    form->addRow(tr("Формат:"), m_formatCombo);

    auto* target = new QHBoxLayout;
    m_targetEdit = new QLineEdit(this);
    m_targetEdit->setObjectName(QStringLiteral("export_target_edit"));
    target->addWidget(m_targetEdit, 1);
    m_browseButton = new QPushButton(tr("Обзор…"), this);
    m_browseButton->setObjectName(QStringLiteral("export_browse_button"));
    target->addWidget(m_browseButton);
    form->addRow(tr("Файл:"), target);

    m_chargeabilityCheck = new QCheckBox(tr("С поляризацией (заряжаемость)"), this);
    m_chargeabilityCheck->setObjectName(QStringLiteral("export_ip_check"));
    m_chargeabilityCheck->setChecked(withChargeability);
    form->addRow(QString(), m_chargeabilityCheck);
    m_repeatsCheck = new QCheckBox(tr("Все записи повторённых квадруполей (иначе лучшая)"), this);
    m_repeatsCheck->setObjectName(QStringLiteral("export_repeats_check"));
    form->addRow(QString(), m_repeatsCheck);
    layout->addLayout(form);

    m_resultLabel = new QLabel(this);
    m_resultLabel->setObjectName(QStringLiteral("export_result_label"));
    m_resultLabel->setWordWrap(true);
    m_resultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_resultLabel->setMinimumHeight(60);
    m_resultLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_resultLabel, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_writeButton = buttons->addButton(tr("Записать"), QDialogButtonBox::AcceptRole);
    m_writeButton->setObjectName(QStringLiteral("export_write_button"));
    QPushButton* close = buttons->addButton(tr("Закрыть"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("export_close_button"));
    layout->addWidget(buttons);

    // Write only when asked: the dialog stays open for the next format.
    connect(m_writeButton, &QPushButton::clicked, this, &ExportDialog::onWriteClicked);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_browseButton, &QPushButton::clicked, this, &ExportDialog::onBrowseClicked);
    connect(m_formatCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &ExportDialog::onFormatChanged);

    if (!m_file) {
        m_resultLabel->setText(tr("Файл не открыт: экспортировать нечего.\n"
                                              "Откройте файл etr кнопкой «Открыть»."));
        for (QWidget* w : std::initializer_list<QWidget*>{m_formatCombo, m_targetEdit, m_browseButton,
                                                           m_chargeabilityCheck, m_repeatsCheck, m_writeButton})
            w->setEnabled(false);
        return;
    }
    m_targetEdit->setText(QDir::toNativeSeparators(InversionWriters::defaultPath(sourcePath(), format())));
    m_writeButton->setDefault(true);
}

InversionFormat ExportDialog::format() const
{
    return InversionFormat(m_formatCombo->currentData().toInt());
}

QString ExportDialog::sourcePath() const
{
    return QDir(m_file->directory()).filePath(m_file->fileName());
}

void ExportDialog::onFormatChanged()
{
    if (!m_file)
        return;
    // The last result was of the other format's file.
    m_resultLabel->clear();
    // The folder chosen stays; the name follows the format.
    const QString folder = QFileInfo(QDir::fromNativeSeparators(m_targetEdit->text())).path();
    const QString name = QFileInfo(InversionWriters::defaultPath(sourcePath(), format())).fileName();
    m_targetEdit->setText(QDir::toNativeSeparators(QDir(folder).filePath(name)));
}

void ExportDialog::onBrowseClicked()
{
    const QString path = QFileDialog::getSaveFileName(this, windowTitle(), QDir::fromNativeSeparators(m_targetEdit->text()),
                                                      InversionWriters::fileFilter(format()));
    if (!path.isEmpty())
        m_targetEdit->setText(QDir::toNativeSeparators(path));
}

void ExportDialog::onWriteClicked()
{
    if (!m_file)
        return;
    const QString target = QDir::fromNativeSeparators(m_targetEdit->text().trimmed());
    if (target.isEmpty()) {
        m_resultLabel->setText(tr("Укажите файл, в который записать данные."));
        return;
    }
    const InversionDataset dataset = InversionDataset::fromFiles({m_file.data()}, m_repeatsCheck->isChecked());
    const InversionOptions options{format(), m_chargeabilityCheck->isChecked()};
    m_report = InversionWriters::writeFile(dataset, options, target);
    m_resultLabel->setStyleSheet(m_report.ok() ? QString() : QStringLiteral("QLabel {color: #B00020;}"));
    m_resultLabel->setText(m_report.text());
    Q_EMIT exported(m_report);
}
