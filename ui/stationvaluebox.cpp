#include "ui/stationvaluebox.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVariant>

namespace StationValueBox {

namespace {
const char* const OutOfRange = "stationValueOutOfRange";
}

void show(QSpinBox* box, long long value)
{
    const QSignalBlocker blocker(box);
    const bool outside = value < box->minimum() || value > box->maximum();
    box->setValue(int(qBound<long long>(box->minimum(), value, box->maximum())));
    box->setProperty(OutOfRange, outside);
    box->setToolTip(outside ? QCoreApplication::translate("StationValueBox", "Станция сообщает %1: вне диапазона %2…%3")
                                  .arg(value)
                                  .arg(box->minimum())
                                  .arg(box->maximum())
                            : QString());
    box->setStyleSheet(outside ? QStringLiteral("QSpinBox { border: 2px solid #D00000; }") : QString());
}

bool isOutOfRange(const QSpinBox* box)
{
    return box->property(OutOfRange).toBool();
}

}
