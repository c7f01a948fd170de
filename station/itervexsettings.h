#ifndef ITERVEXSETTINGS_H
#define ITERVEXSETTINGS_H

#include "station/stationrecords.h"

#include <QObject>

// The program's editable copy of the station's settings. The records are edited in place by
// the tables, the panels and the strategies, and uploaded with each record. Borrowed, never
// deleted through.
class ITervexSettings : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual StationInfo* stationInfo() = 0;
    virtual GeneratorSettings* generatorSettings() = 0;
    virtual ElectrodeSettings* electrodeSettings() = 0;

Q_SIGNALS:
    void updating();
    void updated();
};

#endif
