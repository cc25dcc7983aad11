#include "stylesheet.h"

#include <QFile>

namespace Design {

bool loadStyleSheet(const QString& path, QString& styleSheet)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    styleSheet =
        QString::fromLatin1(bytes.constData(), static_cast<int>(qstrnlen(bytes.constData(), bytes.size())));
    return true;
}

} // namespace Design
