#pragma once

#include <QtCore/qglobal.h>

#if defined(VIREO_BUILD_LIBRARY)
#define VIREO_EXPORT Q_DECL_EXPORT
#else
#define VIREO_EXPORT Q_DECL_IMPORT
#endif
