#ifndef RUNFIXTURE_H
#define RUNFIXTURE_H

#include "app/tervexmodel.h"
#include "station/settingsstore.h"
#include "tools/stationsim/stationsimulator.h"
#include "testsupport.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// A simulated station on loopback and a model connected to it.
class RunFixture
{
public:
    explicit RunFixture(const SimulatorOptions& options)
        : simulator(withFreePorts(options))
    {
        ok = simulator.start();
        if (!ok)
            return;
        std::unique_ptr<QSettings> store(SettingsStore::open());
        store->setValue(SettingsStore::Key::host(), QStringLiteral("127.0.0.1"));
        store->setValue(SettingsStore::Key::commandPort(), simulator.commandPort());
        store->setValue(SettingsStore::Key::dataPort(), simulator.dataPort());
        store->setValue(SettingsStore::Key::dataPath(), folder.path());
        store->sync();
        model.reset(new TervexModel);
    }

    // Connects and waits until the station's settings are mirrored.
    bool connect()
    {
        QSignalSpy updated(model.get(), &TervexModel::settingsUpdated);
        if (!model->connectDevice())
            return false;
        return updated.wait(5000);
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    StationSimulator simulator;
    std::unique_ptr<TervexModel> model;
    bool ok = false;

private:
    static SimulatorOptions withFreePorts(SimulatorOptions options)
    {
        options.address = QHostAddress(QStringLiteral("127.0.0.1"));
        options.commandPort = 0;
        options.dataPort = 0;
        return options;
    }
};

#endif
