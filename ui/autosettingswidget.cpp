#include "ui/autosettingswidget.h"

#include "survey/contactgate.h"
#include "ui/sequencegeneratordialog.h"

#include <QCheckBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QSpinBox>

namespace {

const QString DataSuffix = QStringLiteral("etr");
const QString SequenceSuffix = QStringLiteral("txt");
// Translated when a dialog opens: the interface language is chosen after static initialisation.
QString dataFilter()
{
    return AutoSettingsWidget::tr("Данные Тервекс (*.etr)");
}

// The style sheet's text colour reaches the placeholder too, which then reads as typed text: the
// placeholder's grey is set again each time the style has set the palette (once it is grey, setting
// it changes nothing and sends no further change).
class PlaceholderGrey : public QObject
{
public:
    explicit PlaceholderGrey(QLineEdit* edit)
        : QObject(edit)
    {
        edit->installEventFilter(this);
        apply(edit);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The style sets its palette after the filters have seen Polish: it arrives as a palette change.
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
            apply(static_cast<QLineEdit*>(watched));
        return false;
    }

private:
    static void apply(QLineEdit* edit)
    {
        QPalette palette = edit->palette();
        const QColor grey(0x9a, 0x9a, 0x9a);
        if (palette.color(QPalette::PlaceholderText) == grey)
            return;
        palette.setColor(QPalette::PlaceholderText, grey);
        edit->setPalette(palette);
    }
};

QLineEdit* makePathEdit(const QString& placeholder, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("files_lineedit"));
    edit->setReadOnly(true);
    edit->setPlaceholderText(placeholder);
    new PlaceholderGrey(edit);
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

bool runGeneratorModal(SequenceGeneratorDialog* dialog)
{
    return dialog->exec() == QDialog::Accepted;
}

}

AutoSettingsWidget::AutoSettingsWidget(QWidget* parent)
    : QWidget(parent), m_runDialog(runModal), m_clock(&QDateTime::currentDateTime), m_runGenerator(runGeneratorModal)
{
    m_sequenceEdit = makePathEdit(tr("Последовательность"), this);
    m_targetEdit = makePathEdit(tr("Сохранить как"), this);
    m_sequenceButton = makeChooseButton(this);
    m_targetButton = makeChooseButton(this);

    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("horizontal_separator"));
    separator->setFrameShape(QFrame::HLine);

    auto* generateButton = new QPushButton(tr("Создать…"), this);
    generateButton->setObjectName(QStringLiteral("generate_button"));
    m_maxScatter = new QDoubleSpinBox(this);
    m_maxScatter->setRange(0.0, RepeatPolicy::HighestMaxScatter);
    m_maxScatter->setDecimals(1);
    m_maxScatter->setSingleStep(0.5);
    m_maxScatter->setSpecialValueText(tr("выкл."));
    m_maxRepeats = new QSpinBox(this);
    m_maxRepeats->setRange(RepeatPolicy::FewestRepeats, RepeatPolicy::MostRepeats);
    auto* quality = new QHBoxLayout;
    quality->setSpacing(10);
    quality->addWidget(new QLabel(tr("Макс. разброс, %"), this));
    quality->addWidget(m_maxScatter, 1);
    quality->addWidget(new QLabel(tr("Повторов"), this));
    quality->addWidget(m_maxRepeats, 1);
    for (QAbstractSpinBox* box : {static_cast<QAbstractSpinBox*>(m_maxScatter), static_cast<QAbstractSpinBox*>(m_maxRepeats)}) {
        box->setFixedHeight(24);
        box->setAlignment(Qt::AlignCenter);
    }
    setRepeatPolicy(RepeatPolicy());
    connect(m_maxScatter, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            [this](double limit) { m_maxRepeats->setEnabled(limit > 0.0); });

    const auto makeTextEdit = [this](const QString& objectName, const QString& placeholder) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(objectName);
        edit->setPlaceholderText(placeholder);
        new PlaceholderGrey(edit);
        edit->setToolTip(placeholder);
        edit->setFixedHeight(24);
        edit->setMaxLength(200);
        return edit;
    };
    m_lineName = makeTextEdit(QStringLiteral("line_name_edit"), tr("Линия"));
    m_lineOperator = makeTextEdit(QStringLiteral("line_operator_edit"), tr("Оператор"));
    m_lineNote = makeTextEdit(QStringLiteral("line_note_edit"), tr("Примечание"));
    m_lineNote->setMaxLength(1000);
    auto* line = new QHBoxLayout;
    line->setSpacing(10);
    line->addWidget(m_lineName, 1);
    line->addWidget(m_lineOperator, 1);

    m_contactCheck = new QCheckBox(tr("Проверить контакты перед съёмкой"), this);
    m_contactCheck->setObjectName(QStringLiteral("contact_check_box"));
    m_contactLimit = new QDoubleSpinBox(this);
    m_contactLimit->setObjectName(QStringLiteral("contact_limit_box"));
    m_contactLimit->setRange(0.1, 1000.0);
    m_contactLimit->setDecimals(1);
    m_contactLimit->setSuffix(tr(" кОм"));
    m_contactLimit->setFixedSize(100, 24);
    m_contactLimit->setAlignment(Qt::AlignCenter);
    m_contactLimit->setToolTip(tr("Электроды с сопротивлением выше предела будут показаны перед съёмкой"));
    connect(m_contactCheck, &QCheckBox::toggled, m_contactLimit, &QWidget::setEnabled);
    setContactCheck(false, ContactGate::DefaultLimitKOhm);
    auto* contacts = new QHBoxLayout;
    contacts->setSpacing(10);
    contacts->addWidget(m_contactCheck, 1);
    contacts->addWidget(m_contactLimit);

    auto* cancelButton = new QPushButton(tr("Отмена"), this);
    auto* executeButton = new QPushButton(tr("Выполнить"), this);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addWidget(generateButton, 1);
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
    grid->addLayout(line, 3, 0, 1, 2);
    grid->addWidget(m_lineNote, 4, 0, 1, 2);
    grid->addLayout(quality, 5, 0, 1, 2);
    grid->addLayout(contacts, 6, 0, 1, 2);
    grid->addLayout(buttons, 7, 0, 1, 2);

    connect(m_sequenceButton, &QPushButton::clicked, this, &AutoSettingsWidget::onSeqChooseClicked);
    connect(m_targetButton, &QPushButton::clicked, this, &AutoSettingsWidget::onTargetChooseClicked);
    connect(generateButton, &QPushButton::clicked, this, &AutoSettingsWidget::onGenerateClicked);
    connect(cancelButton, &QPushButton::clicked, this, &AutoSettingsWidget::cancelClicked);
    connect(executeButton, &QPushButton::clicked, this, &AutoSettingsWidget::executeClicked);
}

QString AutoSettingsWidget::lineName() const
{
    return m_lineName->text().trimmed();
}

QString AutoSettingsWidget::lineOperator() const
{
    return m_lineOperator->text().trimmed();
}

QString AutoSettingsWidget::lineNote() const
{
    return m_lineNote->text().trimmed();
}

void AutoSettingsWidget::setLineDescription(const QString& name, const QString& lineOperator, const QString& note)
{
    m_lineName->setText(name);
    m_lineOperator->setText(lineOperator);
    m_lineNote->setText(note);
}

bool AutoSettingsWidget::contactCheck() const
{
    return m_contactCheck->isChecked();
}

double AutoSettingsWidget::contactLimitKOhm() const
{
    return m_contactLimit->value();
}

void AutoSettingsWidget::setContactCheck(bool on, double limitKOhm)
{
    m_contactCheck->setChecked(on);
    m_contactLimit->setValue(limitKOhm);
    m_contactLimit->setEnabled(on);
}

void AutoSettingsWidget::setDialogRunner(DialogRunner runner)
{
    m_runDialog = runner ? std::move(runner) : DialogRunner(runModal);
}

void AutoSettingsWidget::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(&QDateTime::currentDateTime);
}

void AutoSettingsWidget::setGeneratorRunner(GeneratorRunner runner)
{
    m_runGenerator = runner ? std::move(runner) : GeneratorRunner(runGeneratorModal);
}

void AutoSettingsWidget::setSurveyTiming(int pulseMs, int pauseMs, int periods, int channels)
{
    m_pulse = pulseMs;
    m_pause = pauseMs;
    m_periods = periods;
    m_channels = channels;
}

void AutoSettingsWidget::onGenerateClicked()
{
    SequenceGeneratorDialog dialog(this);
    dialog.setTarget(m_startDirectory);
    dialog.setSurveyTiming(m_pulse, m_pause, m_periods, m_channels);
    if (m_runGenerator(&dialog))
        setSequence(dialog.writtenPath());
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
        m_targetNote.clear();
        m_sequenceEdit->setText(file.completeBaseName());
        m_targetEdit->setText(file.completeBaseName());
        showTargetFolder();
        m_targetButton->setEnabled(false);
    } else if (hasSuffix(file, SequenceSuffix)) {
        m_sequencePath = path;
        m_targetPath = timeStampedTarget(path, m_clock());
        // Installed examples and read-only sticks cannot take the data file: it goes to the data folder.
        const QFileInfo folder(file.absolutePath());
        m_targetNote.clear();
        if (!folder.isWritable() && !m_fallbackDirectory.isEmpty()) {
            m_targetPath = QDir(m_fallbackDirectory).absoluteFilePath(QFileInfo(m_targetPath).fileName());
            m_targetNote = tr("Папка последовательности %1 недоступна для записи; файл данных будет записан в %2")
                               .arg(QDir::toNativeSeparators(folder.absoluteFilePath()),
                                    QDir::toNativeSeparators(QFileInfo(m_targetPath).absoluteFilePath()));
        }
        m_sequenceEdit->setText(file.completeBaseName());
        m_targetEdit->setText(QFileInfo(m_targetPath).completeBaseName());
        showTargetFolder();
        m_targetButton->setEnabled(true);
    }
}

void AutoSettingsWidget::resetChoice()
{
    m_targetNote.clear();
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
    dialog.setNameFilters({tr("Последовательность (*.txt)"), dataFilter()});
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
    dialog.setNameFilter(dataFilter());
    // A typed bare name still becomes a data file that a later survey can continue.
    dialog.setDefaultSuffix(DataSuffix);
    dialog.selectFile(m_targetPath);
    const QStringList files = m_runDialog(&dialog);
    if (files.isEmpty())
        return;
    m_targetPath = files.first();
    m_targetNote.clear();
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

RepeatPolicy AutoSettingsWidget::repeatPolicy() const
{
    return RepeatPolicy(m_maxScatter->value(), m_maxRepeats->value());
}

void AutoSettingsWidget::setRepeatPolicy(const RepeatPolicy& policy)
{
    m_maxScatter->setValue(policy.maxScatter());
    m_maxRepeats->setValue(policy.maxRepeats());
    // The count means nothing while repeats are off.
    m_maxRepeats->setEnabled(policy.enabled());
}
