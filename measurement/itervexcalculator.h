#ifndef ITERVEXCALCULATOR_H
#define ITERVEXCALCULATOR_H

#include "measurement/channelresult.h"

#include <QMap>

// Line values of one record: R = U / I.
struct CalculatorResult
{
    float resistance = 0.0f;
    float current = 0.0f;
    float voltage = 0.0f;
};

class ITervexCalculator
{
public:
    virtual CalculatorResult result() const = 0;
    virtual QMap<int, ChannelResult> channelResults() const = 0;

protected:
    ~ITervexCalculator() = default;
};

#endif
