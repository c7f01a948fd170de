#include "app/livemodel.h"

#include "inversion/inversionworker.h"
#include "inversion/modelwriters.h"
#include "survey/outputfile.h"
#include "survey/surveyreport.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <numeric>

namespace {

QString withoutSuffix(const QString& dataFile)
{
    const QFileInfo info(dataFile);
    return info.dir().filePath(info.completeBaseName());
}

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

}

LiveModel::LiveModel(QObject* parent)
    : QObject(parent)
    , m_worker(new InversionWorker(this))
{
    m_worker->setSupersede(InversionWorker::Supersede::WrapUp);
    connect(m_worker, &InversionWorker::started, this, [this]() {
        m_running = std::move(m_waiting);
        m_hasWaiting = false;
    });
    connect(m_worker, &InversionWorker::progress, this, &LiveModel::progress);
    connect(m_worker, &InversionWorker::finished, this, &LiveModel::onFinished);
    connect(m_worker, &InversionWorker::cancelled, this, &LiveModel::onCancelled);
}

LiveModel::~LiveModel() = default;

QString LiveModel::vtkPath(const QString& dataFile)
{
    return withoutSuffix(dataFile) + QStringLiteral("-model.vtk");
}

QString LiveModel::picturePath(const QString& dataFile)
{
    return withoutSuffix(dataFile) + QStringLiteral("-model.png");
}

void LiveModel::begin(const QString& dataFile, const InversionSource& line, const DataFilter& filter)
{
    cancel();
    m_dataFile = dataFile;
    m_reportPath.clear();
    m_line = line;
    m_line.data.clear();
    m_filter = filter;
    m_model = InversionResult();
    m_modelQuadrupoles = m_surveyQuadrupoles = 0;
    m_leftOut.clear();
    m_waitingReason = ResistivityInversion::tooFewReason();
    emit modelChanged();
    setState(State::Waiting);
}

void LiveModel::update(const QVector<SurveyDatum>& data)
{
    start(data, false);
}

void LiveModel::finish(const QVector<SurveyDatum>& data, const QString& reportPath)
{
    m_reportPath = reportPath;
    start(data, true);
}

void LiveModel::cancel()
{
    m_worker->cancel();
    m_hasWaiting = false;
}

void LiveModel::start(const QVector<SurveyDatum>& data, bool final)
{
    InversionSource source = m_line;
    source.data = data;
    const InversionDataset dataset = InversionDataset::fromSources({source});
    m_surveyQuadrupoles = dataset.data.size();
    InversionData prepared = InversionData::fromDataset(dataset, m_filter);

    // A first model waits for enough data spread over enough electrodes; a model once made is
    // only ever replaced by one of more data.
    int usable = 0;
    QSet<int> electrodes;
    for (const SurveyDatum& datum : prepared.input.data) {
        if (!datum.computed() || !(datum.resistivity > 0.0))
            continue;
        ++usable;
        for (int e : {datum.electrodes.a, datum.electrodes.b, datum.electrodes.m, datum.electrodes.n}) {
            if (e != Electrodes::None)
                electrodes.insert(e);
        }
    }
    m_usable = usable;
    m_electrodes = electrodes.size();
    if (usable < MinimumData || electrodes.size() < MinimumElectrodes) {
        cancel();
        m_waitingReason = usable < MinimumData ? ResistivityInversion::tooFewReason()
                                               : tr("меньше %1 электродов с данными").arg(MinimumElectrodes);
        // Too small a survey for a model: its report says nothing of one.
        setState(final ? State::Final : State::Waiting);
        return;
    }

    InversionSettings settings = m_settings;
    // The final model starts from uniform ground, as an inversion of the finished file does.
    if (!final && m_model.ok())
        settings.startModel = m_model.cells;
    // It becomes the running one when the worker starts it, at once or after the run it supersedes.
    m_waiting.quadrupoles = dataset.data.size();
    m_waiting.final = final;
    m_waiting.data = std::move(prepared);
    m_hasWaiting = true;
    m_worker->start(m_waiting.data.input, settings);
    setState(State::Running);
}

void LiveModel::onFinished(const InversionResult& result)
{
    const Run run = std::move(m_running);
    // The run that superseded this one starts next.
    const bool more = m_hasWaiting;
    if (result.ok()) {
        m_model = result;
        m_modelQuadrupoles = run.quadrupoles;
        m_leftOut = run.data.leftOutWith(result);
        m_modelElectrodes = run.data.input.electrodes;
        m_waitingReason.clear();
        emit modelChanged();
    } else {
        m_waitingReason = result.error;
    }
    if (more)
        return;
    if (run.final)
        saveFinal(result.ok());
    else
        setState(m_model.ok() ? State::Idle : State::Waiting);
}

void LiveModel::onCancelled()
{
    m_hasWaiting = false;
    if (!m_worker->isBusy())
        setState(m_model.ok() ? State::Idle : State::Waiting);
}

void LiveModel::saveFinal(bool made)
{
    QStringList lines;
    if (!made) {
        lines << QStringLiteral("Модель разреза не построена: пригодных данных %1, электродов с данными %2")
                     .arg(m_usable)
                     .arg(m_electrodes);
    } else {
        lines << QStringLiteral("Модель разреза: χ² = %1, RMS = %2 %, итераций %3, данных %4, отброшено %5")
                     .arg(number(m_model.chi2(), 2), number(m_model.rms(), 1))
                     .arg(m_model.iterations.size() - 1)
                     .arg(m_model.used)
                     .arg(leftOutCount());
        QStringList written;
        QString error;
        const QString vtk = vtkPath(m_dataFile);
        if (OutputFile::mayWrite(vtk, {m_dataFile}, &error) && ModelWriters::writeFile(vtk, ModelWriters::vtk(m_model), &error))
            written << QFileInfo(vtk).fileName();
        else
            lines << QStringLiteral("Файл модели %1 не записан: %2").arg(QDir::toNativeSeparators(vtk), error);
        const QString png = picturePath(m_dataFile);
        if (m_pictureWriter) {
            if (OutputFile::mayWrite(png, {m_dataFile}, &error) && m_pictureWriter(m_model, png))
                written << QFileInfo(png).fileName();
            else
                lines << QStringLiteral("Рисунок модели %1 не записан").arg(QDir::toNativeSeparators(png));
        }
        if (!written.isEmpty())
            lines << QStringLiteral("Модель сохранена: %1").arg(written.join(QStringLiteral(", ")));
    }
    const QString text = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    QString error;
    if (!m_reportPath.isEmpty())
        SurveyReport::append(m_reportPath, text, &error);
    setState(State::Final);
    emit finalModelSaved(text);
}

int LiveModel::leftOutCount() const
{
    return std::accumulate(m_leftOut.cbegin(), m_leftOut.cend(), 0);
}

void LiveModel::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}
