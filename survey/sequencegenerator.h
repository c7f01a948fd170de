#ifndef SEQUENCEGENERATOR_H
#define SEQUENCEGENERATOR_H

#include "measurement/electrodeposition.h"
#include "survey/quadrupoleline.h"

#include <QList>
#include <QString>
#include <QVector>

// Makes the sequence file of an electrode array on a straight line of equally spaced electrodes.
// Quadrupoles that share A and B stand together in groups of at most the channel count, so the
// station measures as many potential pairs per current injection as it can and the survey has the
// fewest steps the set allows.
class SequenceGenerator
{
public:
    enum class Array { WennerAlpha, WennerSchlumberger, DipoleDipole, PoleDipole, Gradient };

    struct Options
    {
        Array array = Array::WennerAlpha;
        // Electrodes on the line, numbered 1..electrodeCount at x = (number - 1) * spacing.
        int electrodeCount = Electrodes::Count;
        double spacing = 5.0;
        // The part of the line the quadrupoles use; last = 0 means the last electrode.
        int first = 1;
        int last = 0;
        // a is the dipole length (Wenner: the electrode spacing) in electrode spacings; n the
        // dipole separation factor (Schlumberger, dipole-dipole, pole-dipole) or the number of
        // potential dipoles between A and B (gradient). amax = 0 means as large as fits.
        // Wenner-alpha has no n.
        int aMin = 1;
        int aMax = 0;
        int nMin = 1;
        int nMax = 6;
        // Potential pairs the station measures per injection (its usable channels).
        int channels = 10;
        // Each quadrupole also with current and potential pairs swapped.
        bool reciprocals = false;
        // Order the steps so an electrode that has just carried current is not used as a
        // potential electrode in the steps right after (electrode polarisation).
        bool ipOrder = false;
        // Points (x, z) of the ground along the line; electrode heights are interpolated
        // linearly between them (and held beyond the ends). Empty: a flat line at z = 0.
        QVector<QPair<double, double>> elevation;
    };

    // How many steps after an injection its current electrodes count as polarised.
    static constexpr int PolarisationSteps = 2;
    // Wall time of one record beyond its samples and the 250 ms step pause, measured over a
    // 300-record survey against the station simulator (bench/survey).
    static constexpr double RecordOverheadMs = 51.7;
    static constexpr int StepPauseMs = 250;

    // False with errorString() for options out of range or a set in which no quadrupole fits.
    bool generate(const Options& options);
    QString errorString() const { return m_error; }

    const ElectrodeMap& electrodes() const { return m_electrodes; }
    // In file order: the steps one after another, each step's lines together.
    const QList<QuadrupoleLine>& lines() const { return m_lines; }
    int stepCount() const { return m_stepCount; }
    // Potential electrodes that carried current in one of the PolarisationSteps steps before.
    int polarisedUses() const { return m_polarisedUses; }

    // Survey time for this timing, in seconds: per step the record (2 (pulse + pause) periods),
    // the step pause and the record overhead.
    double estimatedSeconds(int pulseMs, int pauseMs, int periods) const;
    // "360 квадруполей, 36 шагов, ..." for the operator.
    QString summary(int pulseMs, int pauseMs, int periods) const;

    // The sequence file: coordinate section, then the quadrupole section. False with the
    // system's reason in errorString() when it cannot be written.
    bool write(const QString& path);

    static QString arrayName(Array array);
    // "wenner", "schlumberger", "dipole-dipole", "pole-dipole", "gradient".
    static QString arrayKey(Array array);
    static bool arrayFromKey(const QString& key, Array* array);
    // Reads an "x z" table (white space between the columns, # starts a comment). False with the
    // line number and reason in *error.
    static bool readElevation(const QString& path, QVector<QPair<double, double>>* points, QString* error);
    // The height at x of the ground given by such points: linear between them, held beyond the ends.
    static double heightAt(const QVector<QPair<double, double>>& points, double x);

    // Counts the polarised uses of an order of lines, taken as steps of at most `channels` pairs.
    static int countPolarisedUses(const QList<QuadrupoleLine>& lines, int channels);

private:
    bool fail(const QString& reason);
    QList<QuadrupoleLine> quadrupoles(const Options& options, int first, int last) const;

    QString m_error;
    ElectrodeMap m_electrodes;
    QList<QuadrupoleLine> m_lines;
    int m_stepCount = 0;
    int m_polarisedUses = 0;
};

#endif
