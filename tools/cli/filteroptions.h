#ifndef FILTEROPTIONS_H
#define FILTEROPTIONS_H

#include "survey/datafilter.h"

#include <QCommandLineOption>

class QCommandLineParser;

// The data filter's options, the same for every tool that writes or inverts survey data:
// --error-model reciprocal|deviation, --max-reciprocal-error PERCENT, --max-deviation PERCENT,
// --min-current MA and --keep-non-positive. Absent options keep the filter's defaults.
class FilterOptions
{
public:
    // Adds the options to the parser.
    explicit FilterOptions(QCommandLineParser& parser);

    // False, after the reason went to standard error, when a value is not valid: the tool then
    // returns CommandLine::UsageError.
    bool read(const QCommandLineParser& parser, DataFilter* filter) const;

private:
    QCommandLineOption m_errorModel;
    QCommandLineOption m_maxReciprocal;
    QCommandLineOption m_maxDeviation;
    QCommandLineOption m_minCurrent;
    QCommandLineOption m_keepNonPositive;
};

#endif
