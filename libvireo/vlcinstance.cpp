#include "vireo/vlcinstance.h"

#include "vlcinstance_p.h"
#include "vlcoptions.h"

#include <vlc/vlc.h>

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
    m_d->engine = libvlc_new(m_d->argc, m_d->argv);
}

VlcInstance::VlcInstance(int argc, const char* const* argv, QObject* parent)
    : QObject(parent), m_d(std::make_unique<VlcInstancePrivate>())
{
    m_d->engine = libvlc_new(argc, argv);
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

void VlcInstance::SetupLibrary(QString pluginPath)
{
    Q_UNUSED(pluginPath)
}

QStringList VlcInstance::OptimizedPlayerArgs()
{
    QStringList a = VlcOptions::playback();
    if (qEnvironmentVariableIsSet("XVLC")) a << qEnvironmentVariable("XVLC").split(' ');
    if (qEnvironmentVariableIsSet("XVLCDROP")) for (auto x : qEnvironmentVariable("XVLCDROP").split(' ')) a.removeAll(x);
    return a;
}
