#ifndef TERVEXSETTINGS_H
#define TERVEXSETTINGS_H

#include "station/itervexsettings.h"

class TervexSettings : public ITervexSettings
{
    Q_OBJECT
public:
    explicit TervexSettings(QObject* parent = nullptr);

    StationInfo* stationInfo() override { return &m_stationInfo; }
    GeneratorSettings* generatorSettings() override { return &m_generatorSettings; }
    ElectrodeSettings* electrodeSettings() override { return &m_electrodeSettings; }

    // Overwrites the mirror with what the station reported, edits included.
    void updateFrom(const StationProperties& properties);

private:
    StationInfo m_stationInfo;
    GeneratorSettings m_generatorSettings;
    ElectrodeSettings m_electrodeSettings;
};

#endif
