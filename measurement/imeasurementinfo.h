#ifndef IMEASUREMENTINFO_H
#define IMEASUREMENTINFO_H

// Where a run stands. Borrowed, never deleted through.
class IMeasurementInfo
{
public:
    virtual int stepCount() const = 0;
    virtual int maxPairsPerStep() const = 0;
    virtual int currentStep() const = 0;
    virtual int expectedSamples() const = 0;
    virtual int receivedSamples() const = 0;
    virtual int pulse() const = 0;
    virtual int pause() const = 0;
    virtual int repeats() const = 0;
    // Records (quadrupoles) of the whole survey, and those measured before the step in progress,
    // both counting the records a continued survey found in its data file.
    virtual int recordCount() const = 0;
    virtual int recordsDone() const = 0;

protected:
    ~IMeasurementInfo() = default;
};

#endif
