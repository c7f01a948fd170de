#include "etr/inversionwriters.h"

#include "etr/inversiondataset.h"
#include "measurement/channelresult.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

// ResIPy's x of an electrode at infinity.
constexpr double ResIPyRemoteX = 99999.0;
constexpr double PercentToMilliVoltPerVolt = 10.0;

bool usable(double value)
{
    return std::isfinite(value) && value != double(ChannelResult::NotComputed);
}

// Fixed notation with a decimal point and about seven significant digits (the data files keep
// single-precision values), at least three decimals.
QByteArray fixed(double value, int decimals)
{
    QByteArray text = QByteArray::number(value, 'f', decimals);
    // "-0.000": a sign without a value only confuses readers.
    if (text.startsWith('-') && text.count('0') == text.size() - 2)
        text.remove(0, 1);
    return text;
}

QByteArray number(double value)
{
    int decimals = 3;
    if (value != 0.0)
        decimals = qBound(3, 6 - int(std::floor(std::log10(std::fabs(value)))), 12);
    return fixed(value, decimals);
}

// Coordinates to the millimetre.
QByteArray coordinate(double value)
{
    return fixed(value, 3);
}

// Why a datum cannot be written in these options; empty when it can.
QString leaveOutReason(const SurveyDatum& datum, const InversionOptions& options)
{
    if (!datum.computed() || !usable(datum.deviation))
        return InversionWriters::notComputedReason();
    if (datum.geometricFactor == 0.0)
        return InversionWriters::zeroFactorReason();
    if (options.chargeability) {
        bool ip = usable(datum.chargeability);
        if (options.format == InversionFormat::ResIPy)
            ip = ip && std::all_of(std::begin(datum.decay), std::end(datum.decay), usable);
        if (!ip)
            return InversionWriters::noChargeabilityReason();
    }
    return QString();
}

class Writer
{
public:
    Writer(const InversionDataset& dataset, const InversionOptions& options)
        : m_dataset(dataset)
        , m_options(options)
    {
    }

    QByteArray write(InversionReport* report)
    {
        QVector<const SurveyDatum*> data;
        for (const SurveyDatum& datum : m_dataset.data) {
            const QString reason = leaveOutReason(datum, m_options);
            if (reason.isEmpty())
                data.append(&datum);
            else
                ++report->leftOut[reason];
        }
        report->written = data.size();
        switch (m_options.format) {
        case InversionFormat::Ohm:
            return ohm(data);
        case InversionFormat::ResIPy:
            return resIPy(data);
        case InversionFormat::Res2DInv:
            return res2DInv(data);
        }
        return QByteArray();
    }

private:
    QByteArray ohm(const QVector<const SurveyDatum*>& data) const
    {
        const bool withY = m_dataset.hasY();
        QByteArray out;
        out += QByteArray::number(m_dataset.electrodes.size()) + '\n';
        out += withY ? "# x y z\n" : "# x z\n";
        for (const ElectrodePosition& e : m_dataset.electrodes) {
            out += coordinate(e.x) + '\t';
            if (withY)
                out += coordinate(e.y) + '\t';
            out += coordinate(e.z) + '\n';
        }
        out += QByteArray::number(data.size()) + '\n';
        out += m_options.chargeability ? "# a b m n u i r k rhoa err ip\n" : "# a b m n u i r k rhoa err\n";
        for (const SurveyDatum* d : data) {
            const QuadrupoleLine& q = d->electrodes;
            for (int electrode : {q.a, q.b, q.m, q.n})
                out += QByteArray::number(electrode) + '\t';
            out += number(d->voltage) + '\t' + number(d->current) + '\t' + number(d->resistance()) + '\t'
                + number(d->geometricFactor) + '\t' + number(d->resistivity) + '\t' + number(d->deviation / 100.0);
            if (m_options.chargeability)
                out += '\t' + number(d->chargeability * PercentToMilliVoltPerVolt);
            out += '\n';
        }
        return out;
    }

    QByteArray resIPy(const QVector<const SurveyDatum*>& data) const
    {
        const bool withZ = m_dataset.hasElevation();
        QByteArrayList header{"xA (m)", "xB (m)", "xM (m)", "xN (m)", "VMN (mV)", "IAB (mA)", "Dev. Rho (%)"};
        if (m_options.chargeability) {
            header.append("M (mV/V)");
            for (int j = 1; j <= SurveyDatum::WindowCount; ++j)
                header.append("M" + QByteArray::number(j) + " (mV/V)");
        }
        header << "TM1 (ms)" << "Rho (Ohm.m)";
        if (withZ)
            header << "zA (m)" << "zB (m)" << "zM (m)" << "zN (m)";

        QByteArray out = header.join(',') + '\n';
        QByteArrayList row;
        for (const SurveyDatum* d : data) {
            row.clear();
            const QuadrupoleLine& q = d->electrodes;
            for (int electrode : {q.a, q.b, q.m, q.n}) {
                const ElectrodePosition* e = m_dataset.electrode(electrode);
                row.append(coordinate(e ? double(e->x) : ResIPyRemoteX));
            }
            row << number(d->voltage * 1000.0) << number(d->current * 1000.0) << number(d->deviation);
            if (m_options.chargeability) {
                row.append(number(d->chargeability * PercentToMilliVoltPerVolt));
                for (double value : d->decay)
                    row.append(number(value * PercentToMilliVoltPerVolt));
            }
            row << number(d->windowWidth) << number(d->resistivity);
            if (withZ) {
                for (int electrode : {q.a, q.b, q.m, q.n}) {
                    const ElectrodePosition* e = m_dataset.electrode(electrode);
                    row.append(coordinate(e ? double(e->z) : 0.0));
                }
            }
            out += row.join(',') + '\n';
        }
        return out;
    }

    QByteArray res2DInv(const QVector<const SurveyDatum*>& data) const
    {
        QByteArray out;
        out += title() + '\n';
        out += coordinate(m_dataset.unitSpacing()) + '\n';
        out += "11\n0\nType of measurement (0=app. resistivity,1=resistance)\n0\n";
        out += QByteArray::number(data.size()) + '\n';
        out += "1\n";
        if (m_options.chargeability) {
            out += "1\nChargeability\nmV/V\n";
            out += number(m_dataset.chargeabilityDelay / 1000.0) + ' ' + number(m_dataset.chargeabilityWidth / 1000.0)
                + '\n';
        } else {
            out += "0\n";
        }
        QByteArray row;
        for (const SurveyDatum* d : data) {
            row.clear();
            int count = 0;
            const QuadrupoleLine& q = d->electrodes;
            for (int electrode : {q.a, q.b, q.m, q.n}) {
                if (const ElectrodePosition* e = m_dataset.electrode(electrode)) {
                    row += ' ' + coordinate(e->x) + ' ' + coordinate(e->z);
                    ++count;
                }
            }
            out += QByteArray::number(count) + row + ' ' + number(d->resistivity);
            if (m_options.chargeability)
                out += ' ' + number(d->chargeability * PercentToMilliVoltPerVolt);
            out += '\n';
        }
        out += "0\n0\n0\n0\n";
        return out;
    }

    // Readers look for the word "Type" to find the measurement-type line: the title must not have
    // it, so a line name that does is left out.
    QByteArray title() const
    {
        QByteArray title = "Tervex-M1, ";
        if (!m_dataset.lineName.isEmpty() && !m_dataset.lineName.contains(QLatin1String("type"), Qt::CaseInsensitive))
            title += m_dataset.lineName.toUtf8() + ", ";
        title += QByteArray::number(m_dataset.electrodes.size()) + " electrodes";
        if (!m_dataset.gpsPosition.isEmpty())
            title += ", GPS " + m_dataset.gpsPosition.toUtf8();
        return title;
    }

    const InversionDataset& m_dataset;
    const InversionOptions& m_options;
};

} // namespace

int InversionReport::leftOutCount() const
{
    int count = 0;
    for (int n : leftOut)
        count += n;
    return count;
}

QString InversionReport::text() const
{
    QStringList lines;
    if (ok())
        lines.append(QCoreApplication::translate("InversionReport", "Записан файл %1, данных: %2").arg(QDir::toNativeSeparators(path), QString::number(written)));
    else
        lines.append(QCoreApplication::translate("InversionReport", "Не удалось записать файл %1: %2").arg(QDir::toNativeSeparators(path), error));
    if (!leftOut.isEmpty()) {
        QStringList reasons;
        for (auto it = leftOut.cbegin(); it != leftOut.cend(); ++it)
            reasons.append(QStringLiteral("%1 — %2").arg(it.key()).arg(it.value()));
        lines.append(QCoreApplication::translate("InversionReport", "Пропущено данных: %1 (%2)").arg(leftOutCount()).arg(reasons.join(QStringLiteral("; "))));
    }
    lines += notes;
    return lines.join(QLatin1Char('\n'));
}

namespace InversionWriters {

QByteArray content(const InversionDataset& dataset, const InversionOptions& options, InversionReport* report)
{
    report->leftOut = dataset.leftOut;
    report->notes = dataset.notes;
    return Writer(dataset, options).write(report);
}

InversionReport writeFile(const InversionDataset& dataset, const InversionOptions& options, const QString& path)
{
    InversionReport report;
    report.path = path;
    const QByteArray bytes = content(dataset, options, &report);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        report.error = file.errorString();
    return report;
}

QString name(InversionFormat format)
{
    switch (format) {
    case InversionFormat::Ohm:
        return QStringLiteral("ohm");
    case InversionFormat::ResIPy:
        return QStringLiteral("resipy");
    case InversionFormat::Res2DInv:
        return QStringLiteral("res2dinv");
    }
    return QString();
}

bool fromName(const QString& text, InversionFormat* format)
{
    for (InversionFormat f : {InversionFormat::Ohm, InversionFormat::ResIPy, InversionFormat::Res2DInv}) {
        if (text.compare(name(f), Qt::CaseInsensitive) == 0) {
            *format = f;
            return true;
        }
    }
    return false;
}

QString title(InversionFormat format)
{
    switch (format) {
    case InversionFormat::Ohm:
        return QCoreApplication::translate("InversionWriters", "Универсальный формат .ohm (pyGIMLi, BERT, ResIPy)");
    case InversionFormat::ResIPy:
        return QCoreApplication::translate("InversionWriters", "Таблица CSV для ResIPy (тип Syscal)");
    case InversionFormat::Res2DInv:
        return QCoreApplication::translate("InversionWriters", "Res2DInv, общий массив (.dat)");
    }
    return QString();
}

QString defaultPath(const QString& etrPath, InversionFormat format)
{
    const QFileInfo info(etrPath);
    const QString base = info.path() + QLatin1Char('/') + info.completeBaseName();
    switch (format) {
    case InversionFormat::Ohm:
        return base + QStringLiteral(".ohm");
    case InversionFormat::ResIPy:
        return base + QStringLiteral("-resipy.csv");
    case InversionFormat::Res2DInv:
        return base + QStringLiteral("-res2dinv.dat");
    }
    return base;
}

QString fileFilter(InversionFormat format)
{
    switch (format) {
    case InversionFormat::Ohm:
        return QStringLiteral("Unified data (*.ohm)");
    case InversionFormat::ResIPy:
        return QStringLiteral("ResIPy CSV (*.csv)");
    case InversionFormat::Res2DInv:
        return QStringLiteral("Res2DInv (*.dat)");
    }
    return QString();
}

QString notComputedReason()
{
    return QCoreApplication::translate("InversionWriters", "значения не вычислены");
}

QString zeroFactorReason()
{
    return QCoreApplication::translate("InversionWriters", "геометрический коэффициент равен нулю");
}

QString noChargeabilityReason()
{
    return QCoreApplication::translate("InversionWriters", "поляризация не вычислена");
}

} // namespace InversionWriters
