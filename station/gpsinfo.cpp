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
    const qint64 integer = qint64(whole);
    const double seconds = (magnitude - whole) * 60.0;
    return QStringLiteral("%1°%2'%3\"")
        .arg(integer / 100)
        .arg(integer % 100)
        .arg(seconds, 0, 'f', 1);
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
