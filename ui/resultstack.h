#ifndef RESULTSTACK_H
#define RESULTSTACK_H

#include "survey/keptdata.h"

#include <QStackedWidget>

class LiveModel;
class LiveModelPage;
class MeasurementPlot;
class MeasurementsTableModel;
class PseudosectionView;
class QLabel;
class QProgressBar;
class QTableView;
class SurveyDataManager;
class TervexSettings;

// What the records show, one page at a time: the live plot (or the contact test's bar chart), the
// table of the last record with its values, the survey's pseudosection and the inverted section
// that follows it.
class ResultStack : public QStackedWidget
{
    Q_OBJECT

public:
    // The pages in the order of the header's result toggle.
    enum Page { PlotPage = 0, TablePage = 1, PseudosectionPage = 2 };
    // The section page shows the pseudosection or the inverted model.
    enum Section { PseudosectionSection = 0, ModelSection = 1 };

    ResultStack(SurveyDataManager* surveyManager, TervexSettings* settings, LiveModel* liveModel,
                QWidget* parent = nullptr);

    MeasurementPlot* plot() const { return m_plot; }
    // The tests have no table of their own: the table page says so instead.
    void setTableAvailable(bool available);
    void clearRecordInfo();
    // The completed record on the plot, in the values above the table and in the table. A survey's
    // record is numbered with the numbers its channels have in the data file. Returns the number
    // shown as the last record done, -1 when the run tells none.
    int showRecordResults(bool surveyNumbers);
    // How much of the record being measured has arrived.
    void setSampleProgress(int expected, int received);
    void resetSampleProgress();

private:
    QWidget* createTablePage();
    QWidget* createSectionPage(LiveModel* liveModel);

    SurveyDataManager* m_surveyManager;
    TervexSettings* m_settings;
    MeasurementPlot* m_plot = nullptr;
    QStackedWidget* m_tablePage = nullptr;
    QLabel* m_recordInfo[6] = {};
    QProgressBar* m_tableProgress = nullptr;
    QTableView* m_measurementsTable = nullptr;
    MeasurementsTableModel* m_measurementsModel = nullptr;
    PseudosectionView* m_pseudosection = nullptr;
    KeptData m_kept;
    LiveModelPage* m_modelPage = nullptr;
};

#endif
