#pragma once

#include <QMetaType>
#include <QStringList>

#include <memory>

// A list of paths handed between panels in queued signals ("std::shared_ptr<QStringList>").
Q_DECLARE_METATYPE(std::shared_ptr<QStringList>)
