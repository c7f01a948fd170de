#include "etr/channelplotmanager.h"

ChannelPlotManager::ChannelPlotManager(QObject* parent)
    : QObject(parent)
{
}

void ChannelPlotManager::setSignals(int count, const QVector<float>& current, const QVector<float>& potential)
{
    m_count = qMax(0, count);
    m_keys.resize(m_count);
    m_currentValues.resize(m_count);
    m_potentialValues.resize(m_count);
    for (int i = 0; i < m_count; ++i) {
        m_keys[i] = i;
        m_currentValues[i] = current.value(i);
        m_potentialValues[i] = potential.value(i);
    }
    emit updated();
}
