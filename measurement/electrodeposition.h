#ifndef ELECTRODEPOSITION_H
#define ELECTRODEPOSITION_H

#include <QMap>

// Coordinates of one electrode of the line; only x enters the geometric factor.
struct ElectrodePosition
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// Electrode number -> position, ascending by number.
using ElectrodeMap = QMap<int, ElectrodePosition>;

namespace Electrodes {
// Electrodes on the cable are numbered 1..Count; 0 means "no electrode" (at infinity).
constexpr int Count = 48;
constexpr int None = 0;
}

#endif
