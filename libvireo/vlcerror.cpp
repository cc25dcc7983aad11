#include "vlcerror.h"

#include "vireolog.h"

#include <vlc/vlc.h>

namespace VlcError {

namespace {

thread_local QString lastLogged;

} // namespace

QString take()
{
    const char* message = libvlc_errmsg();
    QString text = message && *message ? QString::fromUtf8(message) : QStringLiteral("no reason given");
    libvlc_clearerr();
    return text;
}

QString report(const char* what)
{
    QString text = take();
    qCWarning(lcVireo, "%s failed: %s", what, qUtf8Printable(text));
    return text;
}

void remember(const char* text)
{
    lastLogged = QString::fromUtf8(text);
}

QString takeLogged()
{
    QString text;
    text.swap(lastLogged);
    return text;
}

} // namespace VlcError
