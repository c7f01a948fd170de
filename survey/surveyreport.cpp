#include "survey/surveyreport.h"

#include "survey/dataerrors.h"
#include "survey/outputfile.h"
#include "survey/surveydatum.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

namespace {

// The first line of every report; a file that begins otherwise is not one.
constexpr char TitleLine[] = QT_TRANSLATE_NOOP("SurveyReport", "Отчёт о съёмке %1");

} // namespace

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

SurveyReport::Quadrupole& SurveyReport::quadrupole(const QuadrupoleLine& line, int channel)
{
    const auto key = std::make_tuple(line.a, line.b, line.m, line.n);
    auto found = m_index.constFind(key);
    if (found == m_index.constEnd()) {
        found = m_index.insert(key, m_quadrupoles.size());
        m_quadrupoles.append(Quadrupole{line, channel, 0.0f, false, {}});
    }
    return m_quadrupoles[*found];
}

void SurveyReport::addRecord(int a, int b, const QVector<quint16>& channels,
                             const QMap<int, ChannelResult>& results, bool repeat)
{
    for (quint16 id : channels)
        m_measuredChannels.insert(id);
    ++m_records;
    if (repeat)
        ++m_repeats;
    // A line without potential electrodes is a record without channels.
    if (results.isEmpty())
        m_lines.insert(quadrupoleKey({a, b, 0, 0}));
    for (auto it = results.constBegin(); it != results.constEnd(); ++it) {
        const QuadrupoleLine line{a, b, it->m, it->n};
        m_lines.insert(quadrupoleKey(line));
        Quadrupole& q = quadrupole(line, it.key());
        const bool usable = RepeatPolicy::usable(*it);
        q.scatters.append(usable ? it->scatter : ChannelResult::NotComputed);
        if (!usable)
            continue;
        m_usedChannels.insert(it.key());
        if (!q.usable || it->scatter < q.bestScatter) {
            q.usable = true;
            q.bestScatter = it->scatter;
            q.channel = it.key();
        }
    }
}

void SurveyReport::addStoredRecord(int a, int b, const QMap<int, ChannelResult>& results)
{
    for (auto it = results.constBegin(); it != results.constEnd(); ++it)
        quadrupole({a, b, it->m, it->n}, it.key()).scatters.append(
            RepeatPolicy::usable(*it) ? it->scatter : ChannelResult::NotComputed);
}

void SurveyReport::setLine(int measuredBefore, int total)
{
    m_measuredBefore = measuredBefore;
    m_total = total;
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
    lines << say(TitleLine).arg(QDir::toNativeSeparators(dataFile));
    lines << (stopped ? say(QT_TRANSLATE_NOOP("SurveyReport", "Съёмка остановлена до конца последовательности."))
                      : say(QT_TRANSLATE_NOOP("SurveyReport", "Съёмка завершена.")));
    if (m_policy.enabled())
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Макс. разброс: %1 %, повторов не более %2"))
                     .arg(QString::number(m_policy.maxScatter(), 'g', 4))
                     .arg(m_policy.maxRepeats());
    else
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Автоматические повторы выключены."));
    if (m_contactTests > 0) {
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Проверка контактов: предел %1 кОм, проверок: %2"))
                     .arg(QString::number(m_contactGate.limitOhms() / 1000.0, 'g', 4))
                     .arg(m_contactTests);
        QStringList above;
        for (const ContactGate::Electrode& e : m_contactGate.aboveLimit())
            above << say(QT_TRANSLATE_NOOP("SurveyReport", "%1 (%2 кОм)"))
                         .arg(e.number)
                         .arg(QString::number(double(e.ohms) / 1000.0, 'f', 1));
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Электроды выше предела: %1"))
                     .arg(above.isEmpty() ? say(QT_TRANSLATE_NOOP("SurveyReport", "нет")) : above.join(QStringLiteral(", ")));
        if (!above.isEmpty())
            lines << (m_contactChoice == ContactGate::Choice::LeaveOut
                          ? say(QT_TRANSLATE_NOOP("SurveyReport", "Выбор: без квадруполей с этими электродами "
                                                                  "(пропущено: %1)"))
                                .arg(m_contactLeftOut)
                          : say(QT_TRANSLATE_NOOP("SurveyReport", "Выбор: продолжить со всеми квадруполями")));
    }
    if (m_total >= 0)
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Квадруполей измерено: %1 из %2")).arg(measured()).arg(m_total);
    lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Записей: %1")).arg(m_records);
    lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Повторов: %1")).arg(m_repeats);
    for (const Quadrupole& q : m_quadrupoles) {
        if (q.scatters.size() < 2)
            continue;
        QStringList scatters;
        for (float scatter : q.scatters)
            scatters << (scatter == ChannelResult::NotComputed ? QStringLiteral("—") : QString::number(double(scatter), 'f', 1));
        lines << say(QT_TRANSLATE_NOOP("SurveyReport", "  повторён A=%1 B=%2 M=%3 N=%4: разброс %5 %"))
                     .arg(q.line.a)
                     .arg(q.line.b)
                     .arg(q.line.m)
                     .arg(q.line.n)
                     .arg(scatters.join(QStringLiteral(" → ")));
    }
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
    lines += DataErrors::analyse(m_data, m_filter).summary(wording == Wording::Interface);
    const qint64 seconds = (elapsedMs() + 500) / 1000;
    lines << say(QT_TRANSLATE_NOOP("SurveyReport", "Время съёмки: %1:%2:%3"))
                 .arg(seconds / 3600)
                 .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
                 .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString SurveyReport::pathFor(const QString& dataFile, QString* note)
{
    const QFileInfo info(dataFile);
    const QString first = info.dir().filePath(info.completeBaseName() + QStringLiteral("-report.txt"));
    QString path = first;
    for (int n = 2; !mayAppend(path, nullptr); ++n)
        path = info.dir().filePath(info.completeBaseName() + QStringLiteral("-report-%1.txt").arg(n));
    if (note && path != first)
        *note = QCoreApplication::translate("SurveyReport", "Файл %1 не является отчётом о съёмке, отчёт записан в %2")
                    .arg(QDir::toNativeSeparators(first), QDir::toNativeSeparators(path));
    return path;
}

bool SurveyReport::mayAppend(const QString& path, QString* error)
{
    QString refused;
    if (!OutputFile::mayWrite(path, {}, &refused)) {
        if (error)
            *error = refused;
        return false;
    }
    QFile file(path);
    if (!file.exists() || file.size() == 0)
        return true;
    const QString title = QString::fromUtf8(TitleLine).section(QLatin1Char('%'), 0, 0);
    if (file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readLine(4 * title.size())).startsWith(title))
        return true;
    if (error)
        *error = QCoreApplication::translate("SurveyReport", "Файл %1 не является отчётом о съёмке.")
                     .arg(QDir::toNativeSeparators(path));
    return false;
}

bool SurveyReport::append(const QString& path, const QString& text, QString* error)
{
    if (!mayAppend(path, error))
        return false;
    QFile file(path);
    const bool continued = file.exists() && file.size() > 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        *error = OutputFile::failureReason(file);
        return false;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    if (continued)
        out << '\n';
    out << text;
    out.flush();
    if (out.status() != QTextStream::Ok || !file.flush()) {
        *error = OutputFile::failureReason(file);
        return false;
    }
    return true;
}
