#include "ui/livemodelpage.h"

#include "app/livemodel.h"
#include "ui/modelview.h"

#include <QVBoxLayout>

LiveModelPage::LiveModelPage(LiveModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_view(new ModelView(this))
{
    setObjectName(QStringLiteral("live_model_page"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    // The window can draw: the end of a survey saves the section's picture too.
    m_model->setPictureWriter(&ModelSectionPlot::writePicture);
    connect(m_model, &LiveModel::modelChanged, this, &LiveModelPage::showModel);
    connect(m_model, &LiveModel::stateChanged, this, &LiveModelPage::showState);
    connect(m_model, &LiveModel::progress, this,
            [this](const InversionIteration& iteration) { m_view->setState(ModelView::progressText(iteration)); });
    showModel();
    showState();
}

void LiveModelPage::showModel()
{
    if (m_model->model().ok())
        m_view->setModel(m_model->model(), m_model->modelElectrodes(), m_model->leftOutCount());
    else
        m_view->clearModel();
    m_view->setDataCounts(m_model->modelQuadrupoles(), m_model->surveyQuadrupoles());
}

void LiveModelPage::showState()
{
    m_view->setDataCounts(m_model->modelQuadrupoles(), m_model->surveyQuadrupoles());
    switch (m_model->state()) {
    case LiveModel::State::Running:
        m_view->setState(tr("Расчёт модели…"));
        break;
    case LiveModel::State::Waiting:
        m_view->setState(tr("Модели пока нет: %1").arg(m_model->waitingReason()));
        break;
    case LiveModel::State::Idle:
    case LiveModel::State::Final:
        m_view->setState(m_model->model().ok() ? QString() : m_model->waitingReason());
        break;
    }
}
