#ifndef LINKFIXTURE_H
#define LINKFIXTURE_H

#include "fakestation.h"
#include "stationframes.h"

#include "station/tervexdevice.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// A device pointed at a scripted station on loopback, and the settings it needs.
namespace LinkFixture {

constexpr int Wait = 5000;

inline std::unique_ptr<TervexDevice> makeDevice(std::unique_ptr<QSettings>& settings, quint16 commandPort,
                                                quint16 dataPort, const QString& host = QStringLiteral("127.0.0.1"))
{
    settings = std::make_unique<QSettings>();
    settings->setValue(QStringLiteral("tervex_host"), host);
    settings->setValue(QStringLiteral("command_port"), commandPort);
    settings->setValue(QStringLiteral("data_port"), dataPort);
    return std::make_unique<TervexDevice>(settings.get());
}

// A device that has connected and taken the station's first Properties reply; null on failure.
inline std::unique_ptr<TervexDevice> connectedDevice(std::unique_ptr<QSettings>& settings, FakeStation& station,
                                                     int channels = 2, quint32 pulse = 10, quint32 pause = 10,
                                                     quint16 periods = 1)
{
    auto device = makeDevice(settings, station.commandPort(), station.dataPort());
    QSignalSpy initialized(device.get(), &TervexDevice::initialized);
    if (!device->connectToStation())
        return nullptr;
    if (!QTest::qWaitFor([&] { return station.count(Wire::Command::GetProperties) == 1; }, Wait))
        return nullptr;
    station.send(StationFrames::properties(StationFrames::station(channels, pulse, pause, periods)));
    if (!initialized.wait(Wait))
        return nullptr;
    station.clearLog();
    return device;
}

// Current electrodes 1 and 2 and the given number of enabled channels numbered from 1.
inline ElectrodeSettings electrodes(int channels)
{
    ElectrodeSettings e;
    e.currentElectrodeA = 1;
    e.currentElectrodeB = 2;
    for (int i = 0; i < channels; ++i) {
        ChannelSetting c;
        c.enabled = 1;
        c.number = quint16(i + 1);
        c.electrodeM = quint16(i + 3);
        c.electrodeN = quint16(i + 4);
        e.channels.append(c);
    }
    return e;
}

}

#endif
