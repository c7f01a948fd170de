#ifndef PSEUDOSECTIONPLACEMENT_H
#define PSEUDOSECTIONPLACEMENT_H

#include "survey/surveydatum.h"

// Where a datum stands in the pseudosection: horizontally at the mean x of its electrodes on the
// line (those at infinity left out), at the median depth of investigation of a homogeneous
// half-space (Edwards 1977), the depth above which half of the array's signal originates.
class PseudosectionPlacement
{
public:
    struct Point
    {
        double x = 0.0;
        double depth = 0.0;
        bool valid = false;  // false for a geometry without signal (coinciding electrodes, no M or N)
    };

    // Positions along the line; a null pointer is an electrode at infinity.
    static Point place(const double* a, const double* b, const double* m, const double* n);
    static Point place(const SurveyDatum& datum);
};

#endif
