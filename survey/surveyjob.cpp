#include "survey/surveyjob.h"

#include "survey/datafilelock.h"
#include "survey/etrformat.h"
#include "survey/outputfile.h"
#include "survey/sequence.h"

#include <QDataStream>
#include <QFile>
#include <QFileDevice>
#include <QTextStream>

#include <cmath>

namespace {

// Truncation toward zero; a zero keeps no sign, so -0.5 is written as 0.
QString truncated(float value)
{
    double whole = std::trunc(double(value));
    if (whole == 0.0)
        whole = 0.0;
    return QString::number(whole, 'f', 0);
}

} // namespace

SurveyJob::SurveyJob(const ElectrodeMap& electrodes, const QList<QuadrupoleLine>& lines, Sequence* sequence,
                     QIODevice* device)
    : m_electrodes(electrodes)
    , m_lines(lines)
    , m_sequence(sequence)
    , m_device(device)
{
    createStream();
}

SurveyJob::~SurveyJob()
{
    delete m_stream;
    if (m_device && m_device->isOpen()) {
        if (auto file = qobject_cast<QFileDevice*>(m_device))
            file->flush();
        m_device->close();
    }
    delete m_device;
    delete m_sequence;
}

void SurveyJob::replaceSequence(Sequence* sequence)
{
    delete m_sequence;
    m_sequence = sequence;
}

void SurveyJob::holdLock(std::unique_ptr<DataFileLock> lock)
{
    m_lock = std::move(lock);
}

bool SurveyJob::attachDevice(QIODevice* device)
{
    if (m_device || !device)
        return false;
    m_device = device;
    createStream();
    return true;
}

void SurveyJob::createStream()
{
    if (!m_device || !m_device->isOpen() || !m_device->isWritable())
        return;
    m_stream = new QDataStream(m_device);
    m_stream->setByteOrder(QDataStream::LittleEndian);
    m_stream->setFloatingPointPrecision(QDataStream::SinglePrecision);
}

bool SurveyJob::writeCompanionText() const
{
    const auto dataFile = qobject_cast<QFileDevice*>(m_device);
    if (!dataFile)
        return false;
    const QString path = EtrFormat::companionPath(dataFile->fileName());
    QString refused;
    if (!OutputFile::mayWrite(path, {}, &refused))
        return false;
    QFile text(path);
    if (!text.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;

    QTextStream out(&text);
    out.setCodec("UTF-8");
    out << "# x y z\n";
    for (auto it = m_electrodes.cbegin(); it != m_electrodes.cend(); ++it) {
        out << it.key() << ' ' << truncated(it->x) << ' ' << truncated(it->y) << ' ' << truncated(it->z)
            << '\n';
    }
    out << "# a b m n\n";
    int index = 0;
    for (const QuadrupoleLine& line : m_lines)
        out << index++ << ' ' << line.a << ' ' << line.b << ' ' << line.m << ' ' << line.n << '\n';
    out.flush();
    text.close();
    return out.status() == QTextStream::Ok && text.error() == QFileDevice::NoError;
}
