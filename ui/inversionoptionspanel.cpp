#include "ui/inversionoptionspanel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>

InversionOptionsPanel::InversionOptionsPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("inversion_options"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);

    layout->addWidget(new QLabel(QStringLiteral("λ"), this));
    m_lambda = new QDoubleSpinBox(this);
    m_lambda->setObjectName(QStringLiteral("inversion_lambda"));
    m_lambda->setRange(0.0, 1e6);
    m_lambda->setDecimals(2);
    m_lambda->setSpecialValueText(tr("авто"));
    m_lambda->setToolTip(tr("Начальная сила сглаживания; 0 — по данным"));
    m_lambda->setFixedHeight(26);
    layout->addWidget(m_lambda);
    layout->addSpacing(6);
    layout->addWidget(new QLabel(tr("Погрешность от"), this));
    m_errorFloor = new QDoubleSpinBox(this);
    m_errorFloor->setObjectName(QStringLiteral("inversion_error_floor"));
    m_errorFloor->setRange(0.1, 100.0);
    m_errorFloor->setDecimals(1);
    m_errorFloor->setSuffix(QStringLiteral(" %"));
    m_errorFloor->setFixedHeight(26);
    layout->addWidget(m_errorFloor);
    layout->addSpacing(6);
    m_robust = new QCheckBox(tr("Устойчивая"), this);
    m_robust->setObjectName(QStringLiteral("inversion_robust"));
    m_robust->setToolTip(tr("Выбросы в данных теряют вес"));
    layout->addWidget(m_robust);
    m_chargeability = new QCheckBox(tr("ВП"), this);
    m_chargeability->setObjectName(QStringLiteral("inversion_chargeability"));
    m_chargeability->setToolTip(tr("Также разрез заряжаемости"));
    layout->addWidget(m_chargeability);

    setSettings(InversionSettings());
    connect(m_lambda, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, &InversionOptionsPanel::changed);
    connect(m_errorFloor, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, &InversionOptionsPanel::changed);
    connect(m_robust, &QCheckBox::toggled, this, &InversionOptionsPanel::changed);
    connect(m_chargeability, &QCheckBox::toggled, this, &InversionOptionsPanel::changed);
}

InversionSettings InversionOptionsPanel::settings(InversionSettings base) const
{
    base.lambda = m_lambda->value();
    base.errorFloor = m_errorFloor->value();
    base.robust = m_robust->isChecked();
    base.chargeability = m_chargeability->isChecked();
    return base;
}

void InversionOptionsPanel::setSettings(const InversionSettings& settings)
{
    const QSignalBlocker blockers[] = {QSignalBlocker(m_lambda), QSignalBlocker(m_errorFloor),
                                       QSignalBlocker(m_robust), QSignalBlocker(m_chargeability)};
    m_lambda->setValue(settings.lambda);
    m_errorFloor->setValue(settings.errorFloor);
    m_robust->setChecked(settings.robust);
    m_chargeability->setChecked(settings.chargeability);
}
