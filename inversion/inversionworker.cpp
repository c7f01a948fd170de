#include "inversion/inversionworker.h"

#include <QThread>

struct InversionWorker::Run
{
    InversionInput input;
    InversionSettings settings;
    std::atomic<bool> cancel{false};
    std::atomic<bool> wrapUp{false};
    InversionResult result;
};

InversionWorker::InversionWorker(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<InversionIteration>();
    qRegisterMetaType<InversionResult>();
}

InversionWorker::~InversionWorker()
{
    m_waiting.reset();
    if (m_thread) {
        m_running->cancel = true;
        m_thread->wait();
        delete m_thread;
    }
}

void InversionWorker::start(const InversionInput& input, const InversionSettings& settings)
{
    auto run = std::make_shared<Run>();
    run->input = input;
    run->settings = settings;
    m_waiting = run;
    if (!m_thread)
        launch();
    else if (m_supersede == Supersede::WrapUp)
        m_running->wrapUp = true;
    else
        m_running->cancel = true;
}

void InversionWorker::cancel()
{
    const bool waiting = m_waiting != nullptr;
    m_waiting.reset();
    if (m_thread)
        m_running->cancel = true;
    else if (waiting)
        emit cancelled();
}

bool InversionWorker::isBusy() const
{
    return m_thread != nullptr;
}

void InversionWorker::launch()
{
    m_running = std::move(m_waiting);
    const std::shared_ptr<Run> run = m_running;
    // The destructor waits for the thread, so `this` outlives it; a report still queued when the
    // worker goes is dropped with it.
    m_thread = QThread::create([this, run] {
        const auto report = [this, run](const InversionIteration& iteration) {
            QMetaObject::invokeMethod(this, [this, run, iteration] {
                if (m_running == run && !run->cancel)
                    emit progress(iteration);
            }, Qt::QueuedConnection);
        };
        run->result = ResistivityInversion::run(run->input, run->settings, &run->cancel, report, &run->wrapUp);
    });
    connect(m_thread, &QThread::finished, this, &InversionWorker::onThreadFinished);
    m_thread->start(QThread::LowPriority);
    emit started();
}

void InversionWorker::onThreadFinished()
{
    delete m_thread;
    m_thread = nullptr;
    const std::shared_ptr<Run> run = std::move(m_running);
    if (m_waiting) {
        if (!run->cancel)
            emit finished(run->result);
        // Unless a slot of finished() cancelled it.
        if (m_waiting)
            launch();
        return;
    }
    if (run->cancel)
        emit cancelled();
    else
        emit finished(run->result);
}
