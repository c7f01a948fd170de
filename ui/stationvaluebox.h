#ifndef STATIONVALUEBOX_H
#define STATIONVALUEBOX_H

class QSpinBox;

namespace StationValueBox {

// Shows a value the station reported in a spin box without writing it back: the box's signals are
// blocked, and a value outside the box's range is shown at the nearest limit with a red frame and a
// tip that gives the station's own value, so that it never passes for another number.
void show(QSpinBox* box, long long value);

// True when the box shows a station value it cannot hold.
bool isOutOfRange(const QSpinBox* box);

}

#endif
