#ifndef SURVEYJOBBUILDER_H
#define SURVEYJOBBUILDER_H

#include "measurement/channelresult.h"
#include "survey/repeatpolicy.h"
#include "survey/surveydatum.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QMap>
#include <QString>
#include <QVector>

class SurveyJob;
class TervexSettings;

// Builds the job of a survey: a new one from a sequence file, whose data file is created only
// when the survey is sure to start, or the continuation of a data file. What it refuses and what
// the operator should know of a job it built are texts for the operator.
class SurveyJobBuilder
{
    Q_DECLARE_TR_FUNCTIONS(SurveyJobBuilder)

public:
    // pairsLimit: potential pairs per step. The policy decides whether a continued survey measures
    // its last step again.
    SurveyJobBuilder(TervexSettings* settings, int pairsLimit, const RepeatPolicy& policy);

    // A new survey of the sequence file `source` into `target`: the job, holding the target's lock,
    // with the mirror's timing; its data file is not touched yet. Null when refused.
    SurveyJob* newSurvey(const QString& source, const QString& target);
    // Creates (truncates) the target, writes its header with `headerArea` in the free area and the
    // companion sequence beside it.
    bool createDataFile(SurveyJob* job, const QString& target, const QByteArray& headerArea);
    // The continuation of a data file, positioned at its end; the mirror's generator takes the
    // file's timing. Null when refused.
    SurveyJob* resume(const QString& dataPath);

    // Adds a notice for the operator as a line of its own; an empty one adds nothing.
    static void appendNotice(QString* notices, const QString& notice);

    QString error() const { return m_error; }
    // Empty when nothing; one line per notice.
    QString notice() const { return m_notice; }
    int pulse() const { return m_pulse; }
    int pause() const { return m_pause; }
    int repeats() const { return m_repeats; }
    // A continued survey's records already in its file.
    const QVector<SurveyDatum>& existing() const { return m_existing; }
    // The records of a continued survey's last step when that step's automatic repeats are
    // unfinished (0 otherwise), and the last of them.
    int resumedRecords() const { return m_resumedRecords; }
    const QMap<int, ChannelResult>& resumedResults() const { return m_resumedResults; }

private:
    SurveyJob* loadSequence(const QString& source);
    bool refuse(const QString& reason);
    void addNotice(const QString& notice);

    TervexSettings* m_settings;
    int m_pairsLimit;
    RepeatPolicy m_policy;
    QString m_error;
    QString m_notice;
    int m_pulse = 0;
    int m_pause = 0;
    int m_repeats = 0;
    QVector<SurveyDatum> m_existing;
    int m_resumedRecords = 0;
    QMap<int, ChannelResult> m_resumedResults;
};

#endif
