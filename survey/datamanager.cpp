#include "survey/datamanager.h"

DataManager::DataManager(QObject* parent)
    : QObject(parent)
{
}

void DataManager::setSources(ITervexSettings* settings, TervexCalculator* calculator, IDataContainer* container,
                             IMeasurementInfo* info)
{
    m_settings = settings;
    m_calculator = calculator;
    m_container = container;
    m_info = info;
}
