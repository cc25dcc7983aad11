#include "vireo/vlcinstance.h"

#include "vlcoptions.h"

#include <vlc/vlc.h>

VlcInstance::VlcInstance(const QStringList& args, QObject* parent) : QObject(parent)
{
    m_argc = args.size();
    m_argv = new char*[static_cast<size_t>(m_argc) + 1];
    for (int i = 0; i < m_argc; ++i) {
        m_argv[i] = qstrdup(args.at(i).toUtf8().constData());
    }
    m_argv[m_argc] = nullptr;
    m_vlcInstance = libvlc_new(m_argc, m_argv);
}

VlcInstance::VlcInstance(int argc, const char* const* argv, QObject* parent) : QObject(parent)
{
    m_vlcInstance = libvlc_new(argc, argv);
}

VlcInstance::~VlcInstance()
{
    // Players are QObject children; they must be gone before the engine is released.
    qDeleteAll(children());
    if (m_vlcInstance) {
        libvlc_release(m_vlcInstance);
    }
    for (int i = 0; i < m_argc; ++i) {
        delete[] m_argv[i];
    }
    delete[] m_argv;
}

void VlcInstance::SetupLibrary(QString pluginPath)
{
    Q_UNUSED(pluginPath)
}

QStringList VlcInstance::OptimizedPlayerArgs()
{
    return VlcOptions::playback();
}
