#include "inversion/inversiondata.h"

#include "etr/inversiondataset.h"
#include "survey/dataerrors.h"

#include <numeric>

InversionData InversionData::fromFiles(const QVector<const EtrFile*>& files, const DataFilter& filter)
{
    return fromDataset(InversionDataset::fromFiles(files), filter);
}

InversionData InversionData::fromDataset(const InversionDataset& dataset, const DataFilter& filter)
{
    const DataErrors errors = DataErrors::analyse(dataset.data, filter);
    InversionData result;
    result.input = InversionInput::fromDataset(dataset);
    result.input.data = errors.kept(dataset.data);
    if (errors.model().kind != ErrorModel::Kind::Deviation)
        result.input.errors = errors.keptErrors();
    result.leftOut = dataset.leftOut;
    for (int rule = 0; rule < DataFilter::RuleCount; ++rule) {
        if (errors.droppedBy(DataFilter::Rule(rule)) > 0)
            result.leftOut[filter.describe(DataFilter::Rule(rule))] += errors.droppedBy(DataFilter::Rule(rule));
    }
    result.notes = dataset.notes;
    result.errors = errors.model().text();
    result.total = dataset.data.size() + std::accumulate(dataset.leftOut.cbegin(), dataset.leftOut.cend(), 0);
    return result;
}

QMap<QString, int> InversionData::leftOutWith(const InversionResult& result) const
{
    QMap<QString, int> all = leftOut;
    for (auto it = result.leftOut.cbegin(); it != result.leftOut.cend(); ++it)
        all[it.key()] += it.value();
    return all;
}
