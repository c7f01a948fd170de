#include "measurement/remainingtime.h"

void RemainingTime::reset()
{
    m_firstStep = -1;
    m_lastStep = -1;
    m_firstTime = 0;
    m_lastTime = 0;
    m_pausedSince = -1;
    m_pausedTotal = 0;
}

void RemainingTime::recordStarted(int step, qint64 nowMs)
{
    resumed(nowMs);
    nowMs -= m_pausedTotal;
    if (m_firstStep < 0) {
        m_firstStep = step;
        m_firstTime = nowMs;
    }
    // A repeated record keeps its step: its time counts towards the step's duration.
    m_lastStep = step;
    m_lastTime = nowMs;
}

qint64 RemainingTime::estimate(int step, int stepCount) const
{
    const int measured = m_lastStep - m_firstStep;
    if (m_firstStep < 0 || measured <= 0)
        return -1;
    const qint64 perStep = (m_lastTime - m_firstTime) / measured;
    return perStep * qMax(0, stepCount - step + 1);
}

void RemainingTime::paused(qint64 nowMs)
{
    if (m_pausedSince < 0)
        m_pausedSince = nowMs;
}

void RemainingTime::resumed(qint64 nowMs)
{
    if (m_pausedSince < 0)
        return;
    m_pausedTotal += qMax<qint64>(0, nowMs - m_pausedSince);
    m_pausedSince = -1;
}
