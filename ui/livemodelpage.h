#ifndef LIVEMODELPAGE_H
#define LIVEMODELPAGE_H

#include <QWidget>

class LiveModel;
class ModelSectionPlot;
class QLabel;

// The result page of the inverted section that follows the survey: the last model and the line
// that says how old it is and what runs.
class LiveModelPage : public QWidget
{
    Q_OBJECT

public:
    LiveModelPage(LiveModel* model, QWidget* parent = nullptr);

    QString statusText() const;

private:
    void showModel();

    LiveModel* m_model;
    ModelSectionPlot* m_plot;
    QLabel* m_status;
};

#endif
