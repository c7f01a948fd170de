#ifndef STATIONSESSION_H
#define STATIONSESSION_H

#include "tools/stationsim/stationsimulator.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QPushButton;
class QWidget;
class TervexModel;
class TervexWidget;

// A simulated station on loopback and the main window connected to it, with settings kept in a
// temporary folder. The station runs in this process, or as the tervex-station-sim program so that
// what the window's process spends can be measured apart from it.
class StationSession
{
public:
    explicit StationSession(const SimulatorOptions& options);
    // Starts `program` on free loopback ports with the extra arguments.
    StationSession(const QString& program, const QStringList& arguments);
    ~StationSession();

    bool ok() const { return m_ok; }
    TervexModel* model() const { return m_model.get(); }
    TervexWidget* window() const { return m_window.get(); }
    QString path(const QString& name) const { return m_folder.filePath(name); }

    // Presses "Подключить" and waits until the station's settings are shown.
    bool connectStation(int timeoutMs = 5000);
    // In-process station only.
    void setSpeed(double speed);
    // Sequence of gradient soundings: current dipoles 1-48, 9-40, ... with neighbouring potential
    // pairs between them, `steps` dipoles of up to ten pairs each.
    bool writeSequence(const QString& path, int steps) const;
    // Dipole-dipole profile along the whole line: current dipoles of neighbouring electrodes with
    // the potential dipoles n = 1 ... maxN beyond them.
    bool writeDipoleDipoleSequence(const QString& path, int maxN) const;
    // Arguments of the tervex-station-sim program for the demo line of examples/ (the ground of
    // two blocks under the slope, as scripts/run.sh plays it), ten channels at `speed`.
    static QStringList demoLineArguments(const QString& speed);
    // The demo line's sequence, copied into the session's folder so that data files go there;
    // empty when it cannot be.
    QString copyDemoSequence() const;
    // "Работа" in АВТОМАТ, the sequence chosen in the panel, "Выполнить".
    bool startSurvey(const QString& sequence);
    void setTiming(quint32 pulse, quint32 pause, quint16 periods, quint16 voltage);

    // The button showing `text` (its Russian source text) in either interface language.
    static QPushButton* button(QWidget* root, const QString& text);
    static void click(QWidget* root, const QString& text);
    // Runs the event loop for that long.
    static void waitFor(int milliseconds);

private:
    void openWindow(quint16 commandPort, quint16 dataPort);

    QTemporaryDir m_folder;
    QProcess m_process;
    std::unique_ptr<StationSimulator> m_simulator;
    std::unique_ptr<TervexModel> m_model;
    std::unique_ptr<TervexWidget> m_window;
    bool m_ok = false;
};

#endif
