#include "vireo/vlcinstance.h"

#include "vireolog.h"
#include "vlcerror.h"
#include "vlcinstance_p.h"
#include "vlcoptions.h"

#include <vlc/vlc.h>

#include <cstdarg>
#include <cstdio>

namespace {

// The engine's own messages, which it would otherwise print itself or drop: its errors and
// warnings reach the program's message handler; notices and debug output are too many.
void forwardEngineMessage(void* /*data*/, int level, const libvlc_log_t* context, const char* format,
                          va_list args)
{
    const bool error = level >= LIBVLC_ERROR;
    if (level < LIBVLC_WARNING || (!error && !lcVireo().isDebugEnabled()))
        return;
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    if (error) {
        // Kept for the player's error event, which the engine raises on the same thread.
        VlcError::remember(text);
    }
    const char* module = nullptr;
    libvlc_log_get_context(context, &module, nullptr, nullptr);
    if (error)
        qCWarning(lcVireo, "engine error (%s): %s", module ? module : "?", text);
    else
        qCDebug(lcVireo, "engine warning (%s): %s", module ? module : "?", text);
}

libvlc_instance_t* startEngine(int argc, const char* const* argv)
{
    libvlc_instance_t* engine = libvlc_new(argc, argv);
    if (!engine) {
        VlcError::report("starting the engine");
        return nullptr;
    }
    libvlc_log_set(engine, forwardEngineMessage, nullptr);
    return engine;
}

} // namespace

libvlc_instance_t* VlcInstancePrivate::core(const VlcInstance* instance)
{
    return instance ? instance->m_d->engine : nullptr;
}

VlcInstance::VlcInstance(const QStringList& args, QObject* parent)
    : QObject(parent), m_d(std::make_unique<VlcInstancePrivate>())
{
    m_d->argc = args.size();
    m_d->argv = new char*[static_cast<size_t>(m_d->argc) + 1];
    for (int i = 0; i < m_d->argc; ++i) {
        m_d->argv[i] = qstrdup(args.at(i).toUtf8().constData());
    }
    m_d->argv[m_d->argc] = nullptr;
    m_d->engine = startEngine(m_d->argc, m_d->argv);
}

VlcInstance::VlcInstance(int argc, const char* const* argv, QObject* parent)
    : QObject(parent), m_d(std::make_unique<VlcInstancePrivate>())
{
    m_d->engine = startEngine(argc, argv);
}

VlcInstance::~VlcInstance()
{
    // Players are QObject children; they must be gone before the engine is released.
    qDeleteAll(children());
    if (m_d->engine) {
        libvlc_release(m_d->engine);
    }
    for (int i = 0; i < m_d->argc; ++i) {
        delete[] m_d->argv[i];
    }
    delete[] m_d->argv;
}

bool VlcInstance::isValid() const
{
    return m_d->engine != nullptr;
}

void VlcInstance::SetupLibrary(const QString& pluginPath)
{
    Q_UNUSED(pluginPath)
}

QStringList VlcInstance::OptimizedPlayerArgs()
{
    return VlcOptions::playback();
}
