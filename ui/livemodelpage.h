#ifndef LIVEMODELPAGE_H
#define LIVEMODELPAGE_H

#include <QWidget>

class LiveModel;
class ModelView;

// The result page of the inverted section that follows the survey: the last model, how old it
// is and what the inversion does now.
class LiveModelPage : public QWidget
{
    Q_OBJECT

public:
    LiveModelPage(LiveModel* model, QWidget* parent = nullptr);

    ModelView* view() const { return m_view; }

private:
    void showModel();
    void showState();

    LiveModel* m_model;
    ModelView* m_view;
};

#endif
