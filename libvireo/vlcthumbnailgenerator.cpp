#include "vireo/vlcthumbnailgenerator.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcinstance.h"
#include "vireo/vlcplayer.h"
#include "vlcoptions.h"

VlcThumbnailGenerator::VlcThumbnailGenerator(PrerenderCallback prerender, PostrenderCallback postrender,
                                             void* data, int height, QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("VlcThumbnailGenerator"));
    m_instance = new VlcInstance(VlcOptions::thumbnail(), this);
    m_instance->setObjectName(QStringLiteral("VlcThumbnailGenerator m_instance"));
    m_player = new VlcPlayer(m_instance, nullptr, false);
    m_player->setObjectName(QStringLiteral("VlcThumbnailGenerator m_player"));
    m_player->setMediaOptions({VlcOptions::thumbnailChain(height, reinterpret_cast<std::intptr_t>(prerender),
                                                          reinterpret_cast<std::intptr_t>(postrender),
                                                          reinterpret_cast<std::intptr_t>(data))});
    connect(m_player, &VlcPlayer::error, this, &VlcThumbnailGenerator::on_error, Qt::QueuedConnection);
}

VlcThumbnailGenerator::~VlcThumbnailGenerator()
{
    m_player->disconnect();
    m_instance->disconnect();
    // The instance is a child: it goes with this object, its player first, which
    // stops the engine before any callback could outlive its caller's data.
}

int VlcThumbnailGenerator::start(const QString& file)
{
    const int result = m_player->open(file);
    if (result != 0) {
        emit error(m_player->getLastError());
        m_player->clearLastError();
        return result;
    }
    return 0;
}

void VlcThumbnailGenerator::finalize()
{
    m_player->stop();
}

int VlcThumbnailGenerator::getStatus() const
{
    return m_player ? m_player->getState() : static_cast<int>(VlcEnums::Error);
}

void VlcThumbnailGenerator::on_error(const QString& message)
{
    emit error(message);
}
