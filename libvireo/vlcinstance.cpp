#include "vireo/vlcinstance.h"

#include "vireolog.h"
#include "vlcerror.h"
#include "vlcinstance_p.h"
#include "vlcoptions.h"

#include <vlc/vlc.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <dlfcn.h>

namespace {

// The sound library's error handler and its setter, as libasound declares them.
using SoundErrorHandler = void (*)(const char* file, int line, const char* function, int err,
                                   const char* format, ...);
using SetSoundErrorHandler = int (*)(SoundErrorHandler);
using SoundErrorText = const char* (*)(int);

SoundErrorText soundErrorText = nullptr;

// The sound library's complaints (a machine without a sound card gets a dozen lines for every
// file the engine opens) become diagnostics like the engine's own.
void forwardSoundMessage(const char* file, int line, const char* function, int err, const char* format, ...)
{
    if (!lcVireo().isDebugEnabled())
        return;
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const char* reason = err == 0         ? ""
                         : soundErrorText ? soundErrorText(err)
                                          : std::strerror(err < 0 ? -err : err);
    qCDebug(lcVireo, "sound library (%s:%d %s): %s%s%s", file ? file : "?", line, function ? function : "?",
            text, err == 0 ? "" : ": ", reason);
}

template <typename Function> Function symbol(void* library, const char* name)
{
    // POSIX guarantees that an object address from dlsym converts to a function pointer.
    Function function = nullptr;
    void* address = dlsym(library, name);
    static_assert(sizeof function == sizeof address, "function and object pointers differ in size");
    std::memcpy(&function, &address, sizeof function);
    return function;
}

// The engine's ALSA output leaves the library's errors to its default handler, which prints
// them to stderr whatever the engine's own log settings. The library is looked up at run time
// (it is the one the engine's output loads), so the program links nothing more; it stays loaded
// so the handler set here stays in place. Without the library there is nothing to quiet.
void quietSoundLibrary()
{
    static const bool quieted = [] {
        void* library = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return false;
        const auto setHandler = symbol<SetSoundErrorHandler>(library, "snd_lib_error_set_handler");
        if (!setHandler)
            return false;
        soundErrorText = symbol<SoundErrorText>(library, "snd_strerror");
        return setHandler(forwardSoundMessage) == 0;
    }();
    Q_UNUSED(quieted)
}

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
    quietSoundLibrary();
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

QStringList VlcInstance::OptimizedPlayerArgs(bool hardwareDecoding)
{
    return VlcOptions::playback(hardwareDecoding);
}
