#include "ui/runprogress.h"

#include "measurement/imeasurementinfo.h"
#include "ui/headerbar.h"

#include <QProgressBar>

RunProgress::RunProgress(QProgressBar* bar, HeaderBar* header)
    : m_bar(bar)
    , m_header(header)
{
}

QString RunProgress::timeText(qint64 milliseconds)
{
    const qint64 h = milliseconds / 3600000;
    const qint64 m = (milliseconds / 60000) % 60;
    const qint64 s = (milliseconds / 1000) % 60;
    if (h != 0)
        return tr("%1ч %2м %3с").arg(h).arg(m).arg(s);
    if (m != 0)
        return tr("%1м %2с").arg(m).arg(s);
    return tr("%1с").arg(s);
}

QString RunProgress::progressText(int done, int total, qint64 remainingMs)
{
    // The station's own pauses and the link add about twice the pure recording time.
    return progressLine(done, total, 3 * remainingMs);
}

QString RunProgress::progressLine(int done, int total, qint64 leftMs)
{
    return tr("запись %1 из %2 | осталось %3").arg(done).arg(total).arg(timeText(leftMs));
}

QString RunProgress::shortProgressLine(int done, int total, qint64 leftMs)
{
    return QStringLiteral("%1/%2 | %3").arg(done).arg(total).arg(timeText(leftMs));
}

void RunProgress::reset()
{
    m_bar->reset();
}

void RunProgress::runPrepared()
{
    m_remainingTime.reset();
    m_clock.start();
}

void RunProgress::surveyRecordStarted(const IMeasurementInfo* info)
{
    const qint64 left = qint64(info->stepCount()) - info->currentStep() + 1;
    recordStarted(info, qint64(info->repeats()) * left * 2 * (qint64(info->pulse()) + info->pause()));
}

void RunProgress::testRecordStarted(const IMeasurementInfo* info)
{
    recordStarted(info, 2400 * (qint64(info->stepCount()) - info->currentStep() + 1));
}

void RunProgress::recordStarted(const IMeasurementInfo* info, qint64 remainingMs)
{
    m_remainingTime.recordStarted(info->currentStep(), m_clock.elapsed());
    setProgress(info, remainingMs);
}

void RunProgress::runFinished(const IMeasurementInfo* info)
{
    setProgress(info, 0);
}

void RunProgress::setProgress(const IMeasurementInfo* info, qint64 remainingMs)
{
    m_bar->setRange(0, info->recordCount());
    // Once a record of this run has completed, its measured pace is the better estimate.
    const qint64 measured = m_remainingTime.estimate(info->currentStep(), info->stepCount());
    m_total = info->recordCount();
    m_leftMs = remainingMs == 0 || measured < 0 ? 3 * remainingMs : measured;
    showRecordsDone(info->recordsDone());
}

void RunProgress::showRecordsDone(int done)
{
    m_bar->setValue(done);
    m_header->setProgressText(progressLine(done, m_total, m_leftMs), shortProgressLine(done, m_total, m_leftMs));
}

void RunProgress::paused()
{
    m_remainingTime.paused(m_clock.elapsed());
}

void RunProgress::resumed()
{
    m_remainingTime.resumed(m_clock.elapsed());
}
