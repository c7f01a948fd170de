#ifndef TERVEXMODEL_H
#define TERVEXMODEL_H

#include "measurement/tervexcalculator.h"
#include "station/tervexsettings.h"

#include <QObject>
#include <QString>

class QSettings;
class TervexDevice;

// The one object behind the main window: owns the settings store, the station link and the
// mirror of the station's settings, and republishes the link's events.
class TervexModel : public QObject
{
    Q_OBJECT

public:
    explicit TervexModel(QObject* parent = nullptr);
    ~TervexModel() override;

    bool connectDevice();

    TervexDevice* device() const { return m_device; }
    TervexSettings* stationSettings() { return &m_stationSettings; }
    TervexCalculator* calculator() { return &m_calculator; }
    QSettings* settingsStore() const { return m_settingsStore; }

    int testVoltage() const;
    QString testVoltageText() const;
    void setTestVoltage(const QString& text);
    int testRBase() const;
    QString testRBaseText() const;
    void setTestRBase(const QString& text);
    int testRDelta() const;
    QString testRDeltaText() const;
    void setTestRDelta(const QString& text);

    QString dataPath() const { return m_dataPath; }
    void setDataPath(const QString& path);
    QString seqPath() const { return m_seqPath; }
    void setSeqPath(const QString& path);
    bool usePolar() const { return m_usePolar; }
    void setUsePolar(bool flag);

    void loadSettings();

Q_SIGNALS:
    void deviceConnected();
    void deviceConnecting();
    void deviceDisconnected();
    void deviceStatusUpdated();
    void settingsUpdating();
    void settingsUpdated();

public Q_SLOTS:
    void onDevicePropertiesUpdated();
    void onDeviceInitialized();
    void disconnectDevice();

private:
    int testValue(const QString& key, int defaultValue) const;
    void setTestValue(const QString& key, const QString& text, int defaultValue, int minimum, int maximum);

    QSettings* m_settingsStore = nullptr;
    TervexDevice* m_device = nullptr;
    TervexSettings m_stationSettings;
    TervexCalculator m_calculator;
    QString m_dataPath;
    QString m_seqPath;
    bool m_usePolar = false;
};

#endif
