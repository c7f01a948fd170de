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
};

bool writeSurveyFile(const QString& path, const SurveyFileSpec& spec = SurveyFileSpec());

#endif
