#ifndef SURVEYFILE_H
#define SURVEYFILE_H

#include <QString>

// A survey data file as the station would have recorded it on a 48-electrode line with 5 m spacing
// over a two-layer earth with some induced polarisation: gradient arrays of `channels` dipoles between
// A and B, spacing levels 1, 2, 3, repeated (with fresh noise) until `blocks` records are written.
struct SurveyFileSpec
{
    int blocks = 36;
    int channels = 10;
    int pulse = 500;
    int pause = 500;
    int periods = 3;
    double spacing = 5.0;  // metres between electrodes
};

bool writeSurveyFile(const QString& path, const SurveyFileSpec& spec = SurveyFileSpec());

// A dipole-dipole survey of the same line measured forward and backward, so every datum has its
// reciprocal: spacing levels 1 to 6, the contacts of each record off by a seeded couple of percent
// and now and then by much more, which is what the reciprocals show.
bool writeReciprocalSurveyFile(const QString& path);

#endif
