#include "survey/surveyreport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

void SurveyReport::start()
{
    m_clock.start();
    m_elapsed = -1;
}

void SurveyReport::stop()
{
    if (m_clock.isValid() && m_elapsed < 0)
        m_elapsed = m_clock.elapsed();
}

qint64 SurveyReport::elapsedMs() const
{
    if (m_elapsed >= 0)
        return m_elapsed;
    return m_clock.isValid() ? m_clock.elapsed() : 0;
}

void SurveyReport::addRecord(int a, int b, const QVector<quint16>& channels,
                             const QMap<int, ChannelResult>& results, bool repeat)
{
    for (quint16 id : channels)
        m_measuredChannels.insert(id);
    ++m_records;
    if (repeat)
        ++m_repeats;
    for (auto it = results.constBegin(); it != results.constEnd(); ++it) {
        const QuadrupoleLine line{a, b, it->m, it->n};
        const auto key = std::make_tuple(a, b, line.m, line.n);
        auto found = m_index.constFind(key);
        if (found == m_index.constEnd()) {
            found = m_index.insert(key, m_quadrupoles.size());
            m_quadrupoles.append(Quadrupole{line, it.key(), 0.0f, false});
        }
        if (!RepeatPolicy::usable(*it))
            continue;
        m_usedChannels.insert(it.key());
        Quadrupole& q = m_quadrupoles[*found];
        if (!q.usable || it->scatter < q.bestScatter) {
            q.usable = true;
            q.bestScatter = it->scatter;
            q.channel = it.key();
        }
    }
}

QList<SurveyReport::Outlier> SurveyReport::aboveLimit() const
{
    QList<Outlier> outliers;
    if (!m_policy.enabled())
        return outliers;
    for (const Quadrupole& q : m_quadrupoles) {
        if (q.usable && q.bestScatter > m_policy.maxScatter())
            outliers.append(Outlier{q.line, q.channel, q.bestScatter});
    }
    return outliers;
}

QVector<int> SurveyReport::neverUsable() const
{
    QSet<int> unusable(m_notReady.begin(), m_notReady.end());
    unusable += m_measuredChannels;
    unusable -= m_usedChannels;
    QVector<int> channels(unusable.begin(), unusable.end());
    std::sort(channels.begin(), channels.end());
    return channels;
}

QString SurveyReport::text(const QString& dataFile, bool stopped, Wording wording) const
{
    const auto say = [wording](const char* source) {
        return wording == Wording::Interface ? QCoreApplication::translate("SurveyReport", source)
                                             : QString::fromUtf8(source);
    };
    QStringList lines;
    lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Отчёт о съёмке %1")).arg(QDir::toNativeSeparators(dataFile));
    lines << (stopped ? say(QT_TRANSLATE_NOOP("SurveyReport", "Съёмка остановлена до конца последовательности."))
                      : say(QT_TRANSLATE_NOOP("SurveyReport", "Съёмка завершена.")));
    if (m_policy.enabled())
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Макс. разброс: %1 %, повторов не более %2"))
                     .arg(QString::number(m_policy.maxScatter(), 'g', 4))
                     .arg(m_policy.maxRepeats());
    else
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Автоматические повторы выключены."));
    lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Записей: %1")).arg(m_records);
    lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Повторов: %1")).arg(m_repeats);
    const QList<Outlier> outliers = aboveLimit();
    lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Выше предела: %1")).arg(outliers.size());
    for (const Outlier& o : outliers)
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "  A=%1 B=%2 M=%3 N=%4, канал %5: разброс %6 %"))
                     .arg(o.line.a)
                     .arg(o.line.b)
                     .arg(o.line.m)
                     .arg(o.line.n)
                     .arg(o.channel)
                     .arg(QString::number(double(o.scatter), 'f', 1));
    const QVector<int> dead = neverUsable();
    QStringList numbers;
    for (int number : dead)
        numbers << QString::number(number);
    lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Каналы без данных: %1")).arg(numbers.isEmpty() ? say(QT_TRANSLATE_NOOP("SurveyReport", "нет"))
                                                                               : numbers.join(QStringLiteral(", ")));
    if (m_batteryStopLimit > 0.0f)
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Съёмка остановлена: батарея станции %1 В ниже предела %2 В."))
                     .arg(QString::number(double(m_batteryStopVoltage), 'f', 2),
                          QString::number(double(m_batteryStopLimit), 'f', 2));
    if (m_batteryStart > 0.0f)
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Батарея: %1 В в начале, %2 В в конце"))
                     .arg(QString::number(double(m_batteryStart), 'f', 2),
                          QString::number(double(m_batteryEnd), 'f', 2));
    const qint64 seconds = (elapsedMs() + 500) / 1000;
    lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Время съёмки: %1:%2:%3"))
                 .arg(seconds / 3600)
                 .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
                 .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString SurveyReport::pathFor(const QString& dataFile)
{
    const QFileInfo info(dataFile);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-report.txt"));
}

bool SurveyReport::append(const QString& path, const QString& text, QString* error)
{
    QFile file(path);
    const bool continued = file.exists() && file.size() > 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    if (continued)
        out << '\n';
    out << text;
    out.flush();
    if (out.status() != QTextStream::Ok || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
