#ifndef LIVEMODEL_H
#define LIVEMODEL_H

#include "etr/inversiondataset.h"
#include "inversion/inversiondata.h"
#include "inversion/resistivityinversion.h"
#include "survey/datafilter.h"

#include <QObject>

#include <functional>

class InversionWorker;

// The inverted section that follows a survey: after each stored record, once there are enough
// data, the survey's data so far are inverted in a worker thread, starting from the last model; a
// record that arrives meanwhile restarts the run with all data. When the survey ends, a final run
// of all its data from a uniform start gives the model a later inversion of the file gives, and it
// is saved beside the data file. A run that more data supersede ends after its iteration in
// progress and shows its model, so that records coming faster than a run still bring models. The
// survey never waits for any of it.
class LiveModel : public QObject
{
    Q_OBJECT

public:
    // A first model needs this many usable data over this many electrodes.
    static constexpr int MinimumData = ResistivityInversion::MinimumData;
    static constexpr int MinimumElectrodes = 6;

    enum class State { Idle, Waiting, Running, Final };

    // Writes the section as a picture (PNG); set by those who can draw.
    using PictureWriter = std::function<bool(const InversionResult& model, const QString& path)>;

    explicit LiveModel(QObject* parent = nullptr);
    ~LiveModel() override;

    void setPictureWriter(const PictureWriter& writer) { m_pictureWriter = writer; }
    void setSettings(const InversionSettings& settings) { m_settings = settings; }

    // A survey into `dataFile` begins: its electrode table, line description and pulse in `line`
    // (its data come with update()), the filter its data go through. Drops the model of the last
    // survey.
    void begin(const QString& dataFile, const InversionSource& line, const DataFilter& filter);
    // The survey's data so far.
    void update(const QVector<SurveyDatum>& data);
    // The survey ended: the final run; its model is saved as <name>-model.vtk (and .png) beside
    // the data file and named at the end of the report at `reportPath` (when not empty).
    void finish(const QVector<SurveyDatum>& data, const QString& reportPath);
    // Stops what runs and what waits to run; the last model stays.
    void cancel();

    State state() const { return m_state; }
    // The last model (empty before the first) and the numbers of quadrupoles it was made from and
    // that the survey has now.
    const InversionResult& model() const { return m_model; }
    int modelQuadrupoles() const { return m_modelQuadrupoles; }
    int surveyQuadrupoles() const { return m_surveyQuadrupoles; }
    // Data the dataset and the filter left out of the last model, by reason (the run's own too).
    const QMap<QString, int>& leftOut() const { return m_leftOut; }
    int leftOutCount() const;
    // The electrodes of the last model's line.
    const QVector<ElectrodePosition>& modelElectrodes() const { return m_modelElectrodes; }
    // Why the survey has no model yet (too few data); empty when it has one or is running.
    const QString& waitingReason() const { return m_waitingReason; }

    // The paths the final model is saved at, for a data file.
    static QString vtkPath(const QString& dataFile);
    static QString picturePath(const QString& dataFile);

Q_SIGNALS:
    void stateChanged();
    void progress(const InversionIteration& iteration);
    void modelChanged();
    // The final model was saved (or could not be): the lines the report got.
    void finalModelSaved(const QString& text);

private:
    void start(const QVector<SurveyDatum>& data, bool final);
    void onFinished(const InversionResult& result);
    void onCancelled();
    void saveFinal(bool made);
    void setState(State state);

    InversionWorker* m_worker;
    InversionSettings m_settings;
    PictureWriter m_pictureWriter;
    QString m_dataFile;
    QString m_reportPath;
    InversionSource m_line;
    DataFilter m_filter;
    State m_state = State::Idle;
    InversionResult m_model;
    int m_modelQuadrupoles = 0;
    int m_surveyQuadrupoles = 0;
    QMap<QString, int> m_leftOut;
    QVector<ElectrodePosition> m_modelElectrodes;
    // The data of the run in progress and of the one that waits for it to wrap up.
    struct Run
    {
        InversionData data;
        int quadrupoles = 0;
        bool final = false;
    };
    Run m_running;
    Run m_waiting;
    bool m_hasWaiting = false;
    QString m_waitingReason;
    // Of the last data given: usable ones and the electrodes they use.
    int m_usable = 0;
    int m_electrodes = 0;
};

#endif
