#ifndef REMAININGTIME_H
#define REMAININGTIME_H

#include <QtGlobal>

// Estimates the time a run still needs from how long its records really took. The station's
// own pauses, the uploads and the link make a record last longer than its pulses and pauses, and
// by how much depends on the station; so once a record has completed, its measured pace replaces
// the estimate made from the generator settings.
class RemainingTime
{
public:
    // A new run begins.
    void reset();
    // The record of step `step` (1-based) starts at `nowMs` of a steady clock.
    void recordStarted(int step, qint64 nowMs);
    // Milliseconds still needed for steps `step` to `stepCount`, from the mean duration of the
    // steps measured so far; -1 while no step of this run has completed.
    qint64 estimate(int step, int stepCount) const;
    // The run waits for the operator from `nowMs` until resumed: that time is no record's pace.
    void paused(qint64 nowMs);
    void resumed(qint64 nowMs);

private:
    qint64 m_pausedSince = -1;
    qint64 m_pausedTotal = 0;
    int m_firstStep = -1;
    qint64 m_firstTime = 0;
    int m_lastStep = -1;
    qint64 m_lastTime = 0;
};

#endif
