#ifndef CHANNELPLOTMANAGER_H
#define CHANNELPLOTMANAGER_H

#include <QObject>
#include <QVector>

// The series of the selected channel as the plot takes them: sample index, current, potential.
class ChannelPlotManager : public QObject
{
    Q_OBJECT

public:
    explicit ChannelPlotManager(QObject* parent = nullptr);

    // Samples missing from a series read as 0.
    void setSignals(int count, const QVector<float>& current, const QVector<float>& potential);

    int count() const { return m_count; }
    const QVector<double>& keys() const { return m_keys; }
    const QVector<double>& currentValues() const { return m_currentValues; }
    const QVector<double>& potentialValues() const { return m_potentialValues; }

Q_SIGNALS:
    void updated();

private:
    int m_count = 0;
    QVector<double> m_keys;
    QVector<double> m_currentValues;
    QVector<double> m_potentialValues;
};

#endif
