#include "ui/viewermodelpage.h"

#include "etr/etrfile.h"
#include "inversion/inversionworker.h"
#include "inversion/modelwriters.h"
#include "survey/outputfile.h"
#include "ui/inversionoptionspanel.h"
#include "ui/modelview.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <numeric>

namespace {

QPushButton* pageButton(const QString& text, const QString& objectName, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setFixedHeight(26);
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(text) + 24);
    return button;
}

int count(const QMap<QString, int>& reasons)
{
    return std::accumulate(reasons.cbegin(), reasons.cend(), 0);
}

// The section's picture in the size the tool writes it.
constexpr int PictureWidth = 1200;
constexpr int PictureHeight = 500;

}

ViewerModelPage::ViewerModelPage(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("viewer_model_page"));
    m_worker = new InversionWorker(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 0);
    bar->setSpacing(8);
    m_options = new InversionOptionsPanel(this);
    bar->addWidget(m_options);
    bar->addSpacing(8);
    m_computeButton = pageButton(tr("Пересчитать"), QStringLiteral("model_compute_button"), this);
    m_cancelButton = pageButton(tr("Отменить"), QStringLiteral("model_cancel_button"), this);
    m_cancelButton->setEnabled(false);
    auto* filesButton = pageButton(tr("Файлы линии…"), QStringLiteral("model_files_button"), this);
    filesButton->setToolTip(tr("Добавить к модели другие файлы той же линии"));
    m_exportButton = pageButton(tr("Экспорт модели…"), QStringLiteral("model_export_button"), this);
    m_exportButton->setEnabled(false);
    bar->addWidget(m_computeButton);
    bar->addWidget(m_cancelButton);
    bar->addStretch();
    layout->addLayout(bar);

    m_view = new ModelView(this);
    layout->addWidget(m_view, 1);
    // The line's files and the export under the section, with what they did.
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(6, 0, 6, 4);
    bottom->setSpacing(8);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("model_message"));
    m_message->setMinimumWidth(1);
    bottom->addWidget(filesButton);
    bottom->addWidget(m_message, 1);
    bottom->addWidget(m_exportButton);
    layout->addLayout(bottom);

    connect(m_computeButton, &QPushButton::clicked, this, &ViewerModelPage::compute);
    connect(m_cancelButton, &QPushButton::clicked, this, &ViewerModelPage::cancel);
    connect(filesButton, &QPushButton::clicked, this, [this] {
        const QStringList chosen = chooseLineFiles();
        if (!chosen.isEmpty() && addLineFiles(chosen))
            compute();
    });
    connect(m_exportButton, &QPushButton::clicked, this, [this] {
        const QFileInfo source(m_path);
        const QString path = chooseExportPath(source.path() + QLatin1Char('/') + source.completeBaseName()
                                              + QStringLiteral("-model.vtk"));
        if (!path.isEmpty())
            exportModel(path);
    });
    connect(m_options, &InversionOptionsPanel::changed, this, [this] { m_stale = true; });
    connect(m_worker, &InversionWorker::progress, this,
            [this](const InversionIteration& iteration) { m_view->setState(ModelView::progressText(iteration)); });
    connect(m_worker, &InversionWorker::finished, this, &ViewerModelPage::onFinished);
    connect(m_worker, &InversionWorker::cancelled, this, [this] {
        m_cancelButton->setEnabled(false);
        m_view->setState(tr("Расчёт отменён"));
        m_stale = true;
    });
    connect(m_view, &ModelView::cellClicked, this, [this](int cell) {
        QVector<SurveyDatum> chosen;
        for (int index : m_view->model().mostSensitive(cell))
            chosen.append(m_data.input.data.value(index));
        Q_EMIT dataChosen(chosen);
    });
}

ViewerModelPage::~ViewerModelPage() = default;

void ViewerModelPage::setFile(const EtrFile* file, const QString& path)
{
    cancel();
    m_file = file;
    m_path = path;
    m_lineFiles.clear();
    m_linePaths.clear();
    m_data = InversionData();
    m_view->clearModel();
    m_view->setState(QString());
    m_exportButton->setEnabled(false);
    setMessage(QString());
    m_stale = true;
    if (isVisible())
        compute();
}

bool ViewerModelPage::addLineFiles(const QStringList& paths)
{
    QStringList failed;
    for (const QString& path : paths) {
        auto file = std::make_unique<EtrFile>();
        if (!file->load(path)) {
            failed << QDir::toNativeSeparators(path);
            continue;
        }
        m_lineFiles.push_back(std::move(file));
        m_linePaths << path;
    }
    m_stale = true;
    QStringList names{QFileInfo(m_path).fileName()};
    for (const QString& path : m_linePaths)
        names << QFileInfo(path).fileName();
    if (!failed.isEmpty()) {
        setMessage(tr("Не удалось открыть: %1").arg(failed.join(QStringLiteral(", "))), true);
        return false;
    }
    setMessage(tr("Файлы линии: %1").arg(names.join(QStringLiteral(", "))));
    return true;
}

void ViewerModelPage::setDataFilter(const DataFilter& filter)
{
    m_filter = filter;
    m_stale = true;
}

bool ViewerModelPage::isComputing() const
{
    return m_worker->isBusy();
}

QString ViewerModelPage::message() const
{
    return m_message->text();
}

QVector<const EtrFile*> ViewerModelPage::files() const
{
    QVector<const EtrFile*> all{m_file};
    for (const auto& file : m_lineFiles)
        all.append(file.get());
    return all;
}

QStringList ViewerModelPage::paths() const
{
    return QStringList{m_path} + m_linePaths;
}

void ViewerModelPage::compute()
{
    if (!m_file)
        return;
    m_running = InversionData::fromFiles(files(), m_filter);
    m_stale = false;
    m_cancelButton->setEnabled(true);
    m_view->setState(tr("Расчёт…"));
    m_worker->start(m_running.input, m_options->settings());
}

void ViewerModelPage::cancel()
{
    if (m_worker->isBusy())
        m_worker->cancel();
}

void ViewerModelPage::onFinished(const InversionResult& result)
{
    m_cancelButton->setEnabled(false);
    if (!result.ok()) {
        m_view->setState(tr("Модель не построена: %1").arg(result.error));
        Q_EMIT computed();
        return;
    }
    m_data = m_running;
    m_view->setModel(result, m_data.input.electrodes, count(m_data.leftOutWith(result)));
    m_view->setDataCounts(result.used, m_data.total);
    m_view->setState(QString());
    m_exportButton->setEnabled(true);
    Q_EMIT computed();
}

void ViewerModelPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_stale && m_file && !m_worker->isBusy())
        compute();
}

bool ViewerModelPage::exportModel(const QString& path)
{
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const QString suffix = QFileInfo(path).suffix().toLower();
    QString error;
    const bool table = suffix == QLatin1String("csv") || suffix == QLatin1String("vtk");
    const bool picture = suffix == QLatin1String("png") || suffix == QLatin1String("pdf");
    if (!m_view->hasModel()) {
        error = tr("модели ещё нет");
    } else if (!table && !picture) {
        error = tr("формат по расширению: .csv, .vtk, .png или .pdf");
    } else if (OutputFile::mayWrite(path, paths(), &error)) {
        if (table) {
            const InversionResult& model = m_view->model();
            ModelWriters::writeFile(path, suffix == QLatin1String("csv") ? ModelWriters::csv(model) : ModelWriters::vtk(model),
                                    &error);
        } else if (!m_view->plot()->saveSection(path, PictureWidth, PictureHeight)) {
            error = tr("ошибка записи на диск");
        }
    }
    if (!error.isEmpty()) {
        setMessage(tr("Не удалось записать %1: %2").arg(native, error), true);
        return false;
    }
    setMessage(tr("Модель записана в %1").arg(native));
    return true;
}

QString ViewerModelPage::chooseExportPath(const QString& proposed)
{
    return QFileDialog::getSaveFileName(this, tr("Экспорт модели"), proposed,
                                        tr("Модель (*.vtk *.csv);;Рисунок (*.png *.pdf)"));
}

QStringList ViewerModelPage::chooseLineFiles()
{
    return QFileDialog::getOpenFileNames(this, tr("Файлы линии"), QFileInfo(m_path).path(),
                                         tr("Данные Тервекс (*.etr)"));
}

void ViewerModelPage::setMessage(const QString& text, bool failure)
{
    m_message->setText(text);
    m_message->setStyleSheet(failure ? QStringLiteral("QLabel {color: #B00020;}") : QString());
    m_message->setToolTip(text);
}
