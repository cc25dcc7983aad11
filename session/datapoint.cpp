#include "datapoint.h"

void DataPoint::registerMetaTypes()
{
    static const int id = qRegisterMetaType<std::shared_ptr<std::vector<DataPoint>>>(
        "std::shared_ptr<std::vector<DataPoint> >");
    Q_UNUSED(id)
}
