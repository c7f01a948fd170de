#include "tools/cli/filteroptions.h"

#include "tools/cli/commandline.h"

#include <QCommandLineParser>

FilterOptions::FilterOptions(QCommandLineParser& parser)
    : m_errorModel(QStringLiteral("error-model"),
                   QStringLiteral("Errors of the data: reciprocal (the model fitted to the reciprocal pairs; the "
                                  "deviation when there are too few) or deviation, with a %1 % floor (default "
                                  "reciprocal).")
                       .arg(ErrorModel::DefaultFloor),
                   QStringLiteral("model"))
    , m_maxReciprocal(QStringLiteral("max-reciprocal-error"),
                      QStringLiteral("Drop data whose reciprocal error is above this, percent; 0 keeps them "
                                     "(default %1).")
                          .arg(DataFilter::DefaultMaxReciprocalError),
                      QStringLiteral("percent"))
    , m_maxDeviation(QStringLiteral("max-deviation"),
                     QStringLiteral("Drop data whose deviation is above this, percent; 0 keeps them (default)."),
                     QStringLiteral("percent"))
    , m_minCurrent(QStringLiteral("min-current"),
                   QStringLiteral("Drop data measured with a current below this, mA; 0 keeps them (default)."),
                   QStringLiteral("mA"))
    , m_keepNonPositive(QStringLiteral("keep-non-positive"),
                        QStringLiteral("Keep data whose apparent resistivity is zero or negative."))
{
    parser.addOptions({m_errorModel, m_maxReciprocal, m_maxDeviation, m_minCurrent, m_keepNonPositive});
}

bool FilterOptions::read(const QCommandLineParser& parser, DataFilter* filter) const
{
    if (parser.isSet(m_errorModel) && !ErrorModel::fromName(parser.value(m_errorModel), &filter->errorSource)) {
        CommandLine::usageError(
            QStringLiteral("--error-model: '%1' is not reciprocal or deviation").arg(parser.value(m_errorModel)));
        return false;
    }
    if (!CommandLine::doubleOption(parser, m_maxReciprocal.names().first(), 0.0, DataFilter::HighestPercent,
                                   &filter->maxReciprocalError)
        || !CommandLine::doubleOption(parser, m_maxDeviation.names().first(), 0.0, DataFilter::HighestPercent,
                                      &filter->maxDeviation)
        || !CommandLine::doubleOption(parser, m_minCurrent.names().first(), 0.0, DataFilter::HighestCurrent,
                                      &filter->minCurrent))
        return false;
    if (parser.isSet(m_keepNonPositive))
        filter->dropNonPositive = false;
    return true;
}
