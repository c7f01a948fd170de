#ifndef INVERSIONWORKER_H
#define INVERSIONWORKER_H

#include "inversion/resistivityinversion.h"

#include <QObject>

#include <atomic>
#include <memory>

class QThread;

// Runs inversions in a thread of their own so that the caller's thread never waits for one. One
// run at a time: a start while a run goes on supersedes it and the new run follows as soon as the
// old one has stopped. Superseded by default means cancelled (at its next iteration or wavenumber)
// and only the latest run reports; with WrapUp the old run ends after its iteration in progress
// (from its first on) and reports its model, so that a stream of starts still brings models.
// Signals arrive in the thread the worker lives in.
class InversionWorker : public QObject
{
    Q_OBJECT

public:
    enum class Supersede { Cancel, WrapUp };

    explicit InversionWorker(QObject* parent = nullptr);
    // Cancels a run in progress and waits for it to stop.
    ~InversionWorker() override;

    void setSupersede(Supersede supersede) { m_supersede = supersede; }
    void start(const InversionInput& input, const InversionSettings& settings);
    // Cancels the run in progress and drops one waiting to start; emits cancelled() once the
    // run has stopped.
    void cancel();
    // A run is going on or waiting for the cancelled one to stop.
    bool isBusy() const;

signals:
    void started();
    void progress(const InversionIteration& iteration);
    void finished(const InversionResult& result);
    void cancelled();

private:
    struct Run;

    void launch();
    void onThreadFinished();

    std::shared_ptr<Run> m_running;
    std::shared_ptr<Run> m_waiting;
    QThread* m_thread = nullptr;
    Supersede m_supersede = Supersede::Cancel;
};

Q_DECLARE_METATYPE(InversionIteration)
Q_DECLARE_METATYPE(InversionResult)

#endif
