#include "ui/livemodelpage.h"

#include "app/livemodel.h"
#include "ui/modelsectionplot.h"

#include <QLabel>
#include <QVBoxLayout>

LiveModelPage::LiveModelPage(LiveModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_plot(new ModelSectionPlot(this))
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("live_model_page"));
    m_status->setObjectName(QStringLiteral("live_model_status"));
    m_status->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_status);
    // The window can draw: the end of a survey saves the section's picture too.
    m_model->setPictureWriter(&ModelSectionPlot::writePicture);
    connect(m_model, &LiveModel::modelChanged, this, &LiveModelPage::showModel);
    connect(m_model, &LiveModel::stateChanged, this, [this]() { m_status->setText(m_model->summary()); });
    connect(m_model, &LiveModel::progress, this,
            [this](const InversionIteration& iteration) { m_status->setText(m_model->progressText(iteration)); });
    showModel();
}

QString LiveModelPage::statusText() const
{
    return m_status->text();
}

void LiveModelPage::showModel()
{
    m_plot->setModel(m_model->model());
    m_status->setText(m_model->summary());
}
