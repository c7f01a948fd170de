#include "station/gpsinfo.h"

#include "station/wireformat.h"

#include <cmath>

GPSInfo::GPSInfo(QObject* parent)
    : QObject(parent)
{
}

QString GPSInfo::degreeText(double value)
{
    const double magnitude = std::fabs(value);
    const double whole = std::trunc(magnitude);
    qint64 degrees = qint64(whole) / 100;
    qint64 minutes = qint64(whole) % 100;
    // Rounded to a tenth of a second first, so that 59.97 s carries into the minute instead of
    // printing as 60.0.
    qint64 tenths = std::llround((magnitude - whole) * 600.0);
    if (tenths >= 600) {
        tenths -= 600;
        if (++minutes >= 60) {
            minutes -= 60;
            ++degrees;
        }
    }
    return QStringLiteral("%1°%2'%3\"")
        .arg(degrees)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(double(tenths) / 10.0, 0, 'f', 1);
}

void GPSInfo::update(int fix, double longitude, double latitude, float altitude)
{
    if (fix != Wire::GpsFixValid)
        return;
    m_longitude = longitude;
    m_latitude = latitude;
    m_altitude = altitude;

    const QString longitudeText = degreeText(longitude) + (longitude > 0 ? QLatin1Char('E') : QLatin1Char('W'));
    const QString latitudeText = degreeText(latitude) + (latitude > 0 ? QLatin1Char('N') : QLatin1Char('S'));
    m_coordinatesText = QStringLiteral("%1  %2").arg(longitudeText, latitudeText);
    m_altitudeText = QString::number(double(altitude), 'f', 1);
    Q_EMIT updated(m_coordinatesText, m_altitudeText);
}
