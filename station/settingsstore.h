#ifndef SETTINGSSTORE_H
#define SETTINGSSTORE_H

#include <QSettings>
#include <QString>
#include <QtGlobal>

// The one persistent settings store of the program: every object that opens it uses these
// parameters, so all of them read and write the same INI file.
namespace SettingsStore {

inline QString organisationName() { return QStringLiteral("ru.tervex"); }
inline QString applicationName() { return QStringLiteral("Tervex-M1"); }

namespace Key {
inline QString commandPort() { return QStringLiteral("command_port"); }
inline QString dataPort() { return QStringLiteral("data_port"); }
inline QString host() { return QStringLiteral("tervex_host"); }
inline QString testVoltage() { return QStringLiteral("testVoltage"); }
inline QString testRBase() { return QStringLiteral("testRBase"); }
inline QString testRDelta() { return QStringLiteral("testRDelta"); }
inline QString dataPath() { return QStringLiteral("dataPath"); }
inline QString seqPath() { return QStringLiteral("seqPath"); }
inline QString usePolar() { return QStringLiteral("usePolar"); }
// Automatic repeats of survey records: scatter limit in percent (0 = off) and extra records per step.
inline QString maxScatter() { return QStringLiteral("maxScatter"); }
inline QString maxRepeats() { return QStringLiteral("maxRepeats"); }
// The data filter: limits in percent (reciprocal error, deviation) and mA (current), 0 = off; drop
// non-positive apparent resistivities; the data's errors, "reciprocal" or "deviation".
inline QString maxReciprocalError() { return QStringLiteral("maxReciprocalError"); }
inline QString maxDeviation() { return QStringLiteral("maxDeviation"); }
inline QString dropNonPositive() { return QStringLiteral("dropNonPositiveResistivity"); }
inline QString minCurrent() { return QStringLiteral("minCurrent"); }
inline QString errorModel() { return QStringLiteral("errorModel"); }
// Interface language, "ru" or "en"; absent: follow the system locale.
inline QString language() { return QStringLiteral("language"); }
// What the survey panel writes into a new data file: line name, operator and a note.
inline QString lineName() { return QStringLiteral("lineName"); }
inline QString lineOperator() { return QStringLiteral("lineOperator"); }
inline QString lineNote() { return QStringLiteral("lineNote"); }
// Battery limits in volts: a warning below the first, the survey stops below the second; 0 = off.
inline QString batteryWarning() { return QStringLiteral("batteryWarning"); }
inline QString batteryStop() { return QStringLiteral("batteryStop"); }
// The contact test before a survey: on or off, and the limit above which an electrode is named, kOhm.
inline QString contactCheck() { return QStringLiteral("contactCheck"); }
inline QString contactLimit() { return QStringLiteral("contactLimit"); }
}

// Default, lowest and highest accepted value of one test parameter.
struct Range
{
    int defaultValue;
    int minimum;
    int maximum;
    int clamp(int v) const { return qBound(minimum, v, maximum); }
};
constexpr Range TestVoltage{20, 10, 20};   // volts
constexpr Range TestRBase{100, 50, 150};   // ohms between neighbouring electrodes of the test load
constexpr Range TestRDelta{10, 1, 25};     // percent

constexpr quint16 DefaultCommandPort = 6770;
constexpr quint16 DefaultDataPort = 6771;
// A plausible address of the station on its field network; 127.0.0.1 works for the simulator.
inline QString defaultHost() { return QStringLiteral("192.168.0.100"); }

inline QSettings* open(QObject* parent = nullptr)
{
    return new QSettings(QSettings::IniFormat, QSettings::UserScope, organisationName(), applicationName(), parent);
}

// A test parameter as the test runs use it: the default when absent, otherwise clamped.
inline int readClamped(QSettings& settings, const QString& key, const Range& range)
{
    if (!settings.contains(key))
        return range.defaultValue;
    return range.clamp(settings.value(key).toInt());
}

}

#endif
