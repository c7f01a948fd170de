#include "etr/etrcontroller.h"

#include "etr/etrfile.h"

EtrController::EtrController(QObject* parent)
    : QObject(parent)
{
    connect(&m_plotManager, &ChannelPlotManager::updated, this, &EtrController::plotUpdated);
}

EtrController::~EtrController()
{
    delete m_file;
}

bool EtrController::open(const QString& path)
{
    delete m_file;
    m_file = new EtrFile;
    connect(m_file, &EtrFile::loadMessage, this, &EtrController::loadMessage);
    return m_file->load(path);
}

void EtrController::selectChannel(int blockIndex, int channelIndex)
{
    if (!m_file || blockIndex < 0 || blockIndex >= m_file->blocks().size())
        return;
    const EtrBlock& block = m_file->blocks().at(blockIndex);
    if (channelIndex < 0 || channelIndex >= block.channels.size())
        return;
    const EtrChannel& channel = block.channels.at(channelIndex);
    m_plotManager.setSignals(m_file->samplesPerStream(), block.currentSamples, channel.samples);
    emit channelValuesUpdated(block.current, channel.voltage, channel.geometricFactor, channel.resistivity,
                              channel.deviation);
}
