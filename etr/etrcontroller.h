#ifndef ETRCONTROLLER_H
#define ETRCONTROLLER_H

#include "etr/channelplotmanager.h"

#include <QObject>

class EtrFile;

// The viewer's non-visual half: owns the opened file and reports the selected channel.
class EtrController : public QObject
{
    Q_OBJECT

public:
    explicit EtrController(QObject* parent = nullptr);
    ~EtrController() override;

    // Replaces the file object, also when loading fails (it then holds no blocks).
    bool open(const QString& path);
    EtrFile* file() const { return m_file; }
    ChannelPlotManager* plotManager() { return &m_plotManager; }

    // Indices that do not exist are ignored.
    void selectChannel(int blockIndex, int channelIndex);

Q_SIGNALS:
    void plotUpdated();
    void channelValuesUpdated(float current, float voltage, float geometricFactor, float resistance,
                              float deviation);
    // The loader's messages, to be shown as information boxes.
    void loadMessage(const QString& title, const QString& text);

private:
    EtrFile* m_file = nullptr;
    ChannelPlotManager m_plotManager;
};

#endif
