#ifndef RUNPROGRESS_H
#define RUNPROGRESS_H

#include "measurement/remainingtime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

class HeaderBar;
class IMeasurementInfo;
class QProgressBar;

// How far the run in progress is and how long it still needs: the survey progress bar under the
// header and the header's "запись N из M | осталось ..." line. The window decides when either is
// shown; this keeps their numbers and the clock behind the remaining time.
class RunProgress
{
    Q_DECLARE_TR_FUNCTIONS(RunProgress)

public:
    RunProgress(QProgressBar* bar, HeaderBar* header);

    // Remaining-time text "1ч 2м 3с" / "2м 3с" / "3с" of a time already scaled to the operator's clock.
    static QString timeText(qint64 milliseconds);
    static QString progressText(int done, int total, qint64 remainingMs);
    // The same line with a time already on the operator's clock.
    static QString progressLine(int done, int total, qint64 leftMs);
    // The same without words, for a header too narrow for the whole line: "12/98 | 3м 5с".
    static QString shortProgressLine(int done, int total, qint64 leftMs);

    // The bar back to empty, no run counted.
    void reset();
    // A run has been prepared: its pace is measured from now.
    void runPrepared();
    // A record starts; the estimate from the generator settings until a record has been timed.
    void surveyRecordStarted(const IMeasurementInfo* info);
    void testRecordStarted(const IMeasurementInfo* info);
    // The run has measured its last record.
    void runFinished(const IMeasurementInfo* info);
    // The header's count after a record completed; total and remaining time as last computed.
    void showRecordsDone(int done);
    // The run waits for the operator: that time is no record's pace.
    void paused();
    void resumed();

private:
    void recordStarted(const IMeasurementInfo* info, qint64 remainingMs);
    void setProgress(const IMeasurementInfo* info, qint64 remainingMs);

    QProgressBar* m_bar;
    HeaderBar* m_header;
    int m_total = 0;
    qint64 m_leftMs = 0;
    RemainingTime m_remainingTime;
    QElapsedTimer m_clock;
};

#endif
