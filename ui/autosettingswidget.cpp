#include "ui/autosettingswidget.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString DataSuffix = QStringLiteral("etr");
const QString SequenceSuffix = QStringLiteral("txt");
const QString DataFilter = QStringLiteral("Tervex data (*.etr)");

QLineEdit* makePathEdit(const QString& placeholder, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("files_lineedit"));
    edit->setReadOnly(true);
    edit->setPlaceholderText(placeholder);
    edit->setFixedHeight(24);
    edit->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return edit;
}

QPushButton* makeChooseButton(QWidget* parent)
{
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setFixedSize(40, 24);
    return button;
}

bool hasSuffix(const QFileInfo& file, const QString& suffix)
{
    return file.suffix().compare(suffix, Qt::CaseInsensitive) == 0;
}

QStringList runModal(QFileDialog* dialog)
{
    if (dialog->exec() != QDialog::Accepted)
        return QStringList();
    return dialog->selectedFiles();
}

}

AutoSettingsWidget::AutoSettingsWidget(QWidget* parent)
    : QWidget(parent), m_runDialog(runModal), m_clock(&QDateTime::currentDateTime)
{
    m_sequenceEdit = makePathEdit(QStringLiteral("Последовательность"), this);
    m_targetEdit = makePathEdit(QStringLiteral("Сохранить как"), this);
    m_sequenceButton = makeChooseButton(this);
    m_targetButton = makeChooseButton(this);

    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("horizontal_separator"));
    separator->setFrameShape(QFrame::HLine);

    auto* cancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    auto* executeButton = new QPushButton(QStringLiteral("Выполнить"), this);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addWidget(cancelButton, 1);
    buttons->addWidget(executeButton, 1);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(10);
    grid->addWidget(separator, 0, 0, 1, 2);
    grid->addWidget(m_sequenceEdit, 1, 0);
    grid->addWidget(m_sequenceButton, 1, 1);
    grid->addWidget(m_targetEdit, 2, 0);
    grid->addWidget(m_targetButton, 2, 1);
    grid->addLayout(buttons, 3, 0, 1, 2);

    connect(m_sequenceButton, &QPushButton::clicked, this, &AutoSettingsWidget::onSeqChooseClicked);
    connect(m_targetButton, &QPushButton::clicked, this, &AutoSettingsWidget::onTargetChooseClicked);
    connect(cancelButton, &QPushButton::clicked, this, &AutoSettingsWidget::cancelClicked);
    connect(executeButton, &QPushButton::clicked, this, &AutoSettingsWidget::executeClicked);
}

void AutoSettingsWidget::setDialogRunner(DialogRunner runner)
{
    m_runDialog = runner ? std::move(runner) : DialogRunner(runModal);
}

void AutoSettingsWidget::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(&QDateTime::currentDateTime);
}

QString AutoSettingsWidget::timeStampedTarget(const QString& sequencePath, const QDateTime& when)
{
    return QFileInfo(sequencePath).absolutePath() + QDir::separator()
           + when.toString(QStringLiteral("yyMMdd_hhmmss")) + QLatin1Char('.') + DataSuffix;
}

void AutoSettingsWidget::setSequence(const QString& path)
{
    const QFileInfo file(path);
    if (hasSuffix(file, DataSuffix)) {
        // A data file continues the interrupted survey it holds, so it is also the target.
        m_sequencePath = path;
        m_targetPath = path;
        m_sequenceEdit->setText(file.completeBaseName());
        m_targetEdit->setText(file.completeBaseName());
        showTargetFolder();
        m_targetButton->setEnabled(false);
    } else if (hasSuffix(file, SequenceSuffix)) {
        m_sequencePath = path;
        m_targetPath = timeStampedTarget(path, m_clock());
        m_sequenceEdit->setText(file.completeBaseName());
        m_targetEdit->setText(QFileInfo(m_targetPath).completeBaseName());
        showTargetFolder();
        m_targetButton->setEnabled(true);
    }
}

void AutoSettingsWidget::resetChoice()
{
    m_targetPath.clear();
    m_targetEdit->clear();
    showTargetFolder();
    m_sequenceButton->setEnabled(true);
    const QFileInfo file(m_sequencePath);
    if (!m_sequencePath.isEmpty() && file.isFile() && hasSuffix(file, SequenceSuffix)) {
        setSequence(m_sequencePath);
        return;
    }
    m_sequencePath.clear();
    m_sequenceEdit->clear();
    m_targetButton->setEnabled(false);
}

void AutoSettingsWidget::onSeqChooseClicked()
{
    QFileDialog dialog;
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setNameFilters({QStringLiteral("Sequence (*.txt)"), DataFilter});
    dialog.setDirectory(m_startDirectory);
    const QStringList files = m_runDialog(&dialog);
    if (!files.isEmpty())
        setSequence(files.first());
}

void AutoSettingsWidget::onTargetChooseClicked()
{
    QFileDialog dialog(this);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(DataFilter);
    // A typed bare name still becomes a data file that a later survey can continue.
    dialog.setDefaultSuffix(DataSuffix);
    dialog.selectFile(m_targetPath);
    const QStringList files = m_runDialog(&dialog);
    if (files.isEmpty())
        return;
    m_targetPath = files.first();
    m_targetEdit->setText(QFileInfo(m_targetPath).baseName());
    showTargetFolder();
}

void AutoSettingsWidget::showTargetFolder()
{
    // The box holds only the name; the operator sees the whole path before the survey starts.
    const QString path = m_targetPath.isEmpty() ? QString() : QDir::toNativeSeparators(QFileInfo(m_targetPath).absoluteFilePath());
    m_targetEdit->setToolTip(path);
    Q_EMIT targetChanged(path);
}
