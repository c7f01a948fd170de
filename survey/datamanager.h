#ifndef DATAMANAGER_H
#define DATAMANAGER_H

#include <QObject>

class IDataContainer;
class IMeasurementInfo;
class ITervexSettings;
class TervexCalculator;

// Listens to what happens to the data of a run and turns it into signals for the views.
// The pointers are borrowed from the strategy that set them and are valid while it lives.
class DataManager : public QObject
{
    Q_OBJECT

public:
    explicit DataManager(QObject* parent = nullptr);

    void setSources(ITervexSettings* settings, TervexCalculator* calculator, IDataContainer* container,
                    IMeasurementInfo* info);

    ITervexSettings* settings() const { return m_settings; }
    TervexCalculator* calculator() const { return m_calculator; }
    IDataContainer* container() const { return m_container; }
    IMeasurementInfo* info() const { return m_info; }

    virtual void prepare() = 0;
    virtual void beginRecord() = 0;
    virtual void updateData() = 0;
    // False ends the run after the current record.
    virtual bool finishRecord() = 0;
    virtual void finishSequence() = 0;
    virtual void abortRun() = 0;

Q_SIGNALS:
    void prepared();
    void started();
    void updated();
    void completed();
    void allCompleted();
    void aborted();

protected:
    ITervexSettings* m_settings = nullptr;
    TervexCalculator* m_calculator = nullptr;
    IDataContainer* m_container = nullptr;
    IMeasurementInfo* m_info = nullptr;
};

#endif
