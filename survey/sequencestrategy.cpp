#include "survey/sequencestrategy.h"

#include "measurement/idatacontainer.h"
#include "measurement/tervexcalculator.h"
#include "station/tervexdevice.h"
#include "survey/etrformat.h"
#include "survey/outputfile.h"
#include "survey/sequence.h"
#include "survey/surveyjob.h"

#include <QDataStream>
#include <QFileDevice>

SequenceStrategy::SequenceStrategy(TervexDevice* device, DataManager* dataManager, SurveyJob* job,
                                   ITervexSettings* settings, TervexCalculator* calculator, int pulse, int pause,
                                   int repeats, QObject* parent)
    : SurveyStrategy(device, dataManager, job, settings, calculator, parent)
    , m_pulse(pulse)
    , m_pause(pause)
    , m_repeats(repeats)
{
    // The counter runs over the whole survey, one record per quadrupole as the viewer numbers them.
    QVector<int> stepRecords;
    if (const Sequence* sequence = m_job->sequence()) {
        for (const SequenceStep& step : sequence->steps())
            stepRecords.append(step.pairs.size());
    }
    m_info.setRecordPlan(m_job->measuredBefore(), stepRecords);
}

bool SequenceStrategy::onRecordProcessed()
{
    QDataStream* out = m_job ? m_job->dataStream() : nullptr;
    if (!out) {
        m_failReason = tr("Файл данных не открыт для записи.");
        return false;
    }
    IDataContainer* c = m_device->dataProcessor()->container();
    const int samples = int(EtrFormat::samplesPerStream(m_pulse, m_pause, m_repeats));
    // A block of another length would misalign every block after it.
    if (c->pulseSamples() != m_pulse || c->pauseSamples() != m_pause || c->repeats() != m_repeats) {
        m_failReason = tr("Станция выполнила запись с импульсом %1, паузой %2 и %3 периодами, "
                                      "а файл данных записан с импульсом %4, паузой %5 и %6 периодами. "
                                      "Запись не сохранена.")
                           .arg(c->pulseSamples())
                           .arg(c->pauseSamples())
                           .arg(c->repeats())
                           .arg(m_pulse)
                           .arg(m_pause)
                           .arg(m_repeats);
        return false;
    }
    if (c->receivedSamples() < samples) {
        m_failReason = tr("Запись неполная: получено %1 отсчётов из %2. Запись не сохранена.")
                           .arg(c->receivedSamples())
                           .arg(samples);
        return false;
    }

    const QVector<float>* current = c->channelData(StreamId::Current);
    QVector<EtrFormat::BlockChannel> channels;
    QVector<SurveyDatum> data;
    const QMap<int, ChannelResult> results = m_calculator->channelResults();
    const CalculatorResult record = m_calculator->result();
    const ElectrodeMap& positions = m_job->electrodes();
    for (qint16 id : c->channelIds()) {
        auto it = m_record.mn.constFind(id);
        const QVector<float>* stream = c->channelData(id);
        if (it == m_record.mn.constEnd() || !stream)
            continue;
        SurveyDatum datum;
        datum.electrodes = {m_record.a, m_record.b, it->first, it->second};
        datum.a = positions.value(m_record.a);
        datum.b = positions.value(m_record.b);
        datum.m = positions.value(it->first);
        datum.n = positions.value(it->second);
        datum.channel = channels.size();
        datum.current = record.current;
        const ChannelResult r = results.value(id);
        datum.voltage = r.voltage;
        datum.geometricFactor = r.geometricFactor;
        datum.resistivity = r.resistivity;
        datum.deviation = r.scatter;
        datum.chargeability = r.chargeability;
        for (int j = 0; j < SurveyDatum::WindowCount; ++j)
            datum.decay[j] = r.decayCurve[j];
        datum.windowWidth = qMax(0, (m_pulse - 32) / SurveyDatum::WindowCount);
        data.append(datum);
        channels.append(EtrFormat::BlockChannel{it->first, it->second, *stream});
    }
    // The block goes to the file before the record is counted and the next one starts, so a crash
    // loses at most the record in progress.
    auto* file = qobject_cast<QFileDevice*>(out->device());
    if (!EtrFormat::writeBlock(*out, samples, m_record.a, m_record.b, current ? *current : QVector<float>(),
                               channels)) {
        m_failReason = tr("Не удалось записать блок в файл данных: %1")
                           .arg(file ? OutputFile::failureReason(*file) : out->device()->errorString());
        return false;
    }
    if (file && !file->flush()) {
        m_failReason = tr("Не удалось записать файл данных: %1").arg(OutputFile::failureReason(*file));
        return false;
    }
    Q_EMIT recordDataAdded(data);
    return true;
}
