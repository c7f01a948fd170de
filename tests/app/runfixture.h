#ifndef RUNFIXTURE_H
#define RUNFIXTURE_H

#include "app/tervexmodel.h"
#include "measurement/electrodeposition.h"
#include "station/settingsstore.h"
#include "survey/quadrupoleline.h"
#include "tools/stationsim/stationsimulator.h"
#include "testsupport.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <memory>

// A sequence file of the 48-electrode line at 5 m with these quadrupoles.
inline bool writeSequence(const QString& path, const QList<QuadrupoleLine>& lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# X Y Z\n";
    for (int e = 1; e <= Electrodes::Count; ++e)
        out << e << ' ' << (e - 1) * 5 << " 0 0\n";
    out << "# A B M N\n";
    for (int i = 0; i < lines.size(); ++i)
        out << i << ' ' << lines[i].a << ' ' << lines[i].b << ' ' << lines[i].m << ' ' << lines[i].n << '\n';
    return true;
}

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
