#include "vlcthumbnails.h"

#include "playlistlog.h"
#include "thumbnailstore.h"

#include <vireo/vlcenums.h>
#include <vireo/vlcthumbnailgenerator.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

// Hand-over between the worker and the engine's decoding thread. The grab mutex is held by
// the engine from pre-render to post-render of the first frame of a file, so the captured
// image is complete whenever the worker can lock it.
struct GrabState
{
    QMutex mutex;
    std::atomic<bool> frameCaptured{false};
    std::vector<unsigned char> frame;
    // Used when the frame buffer cannot grow; wide enough for the engine's widest usual frames
    // (128 pixels for 16:9 at the grab's height).
    unsigned char fallback[256 * VlcThumbnails::GrabHeight * 4];
    intptr_t id = 0;
    QModelIndex index;
    int fileNumber = 0;
    QImage image;
};

GrabState& grabState()
{
    static GrabState state;
    return state;
}

} // namespace

VlcThumbnails::VlcThumbnails(QObject* parent) : QThread(parent)
{
    setObjectName(QStringLiteral("VlcThumbnails_Thread"));
    registerMetaTypes();
}

VlcThumbnails::~VlcThumbnails()
{
    requestInterruption();
    wait();
}

void VlcThumbnails::registerMetaTypes()
{
    qRegisterMetaType<VlcThumbnails::InData>("VlcThumbnails::InData");
    qRegisterMetaType<VlcThumbnails::OutData>("VlcThumbnails::OutData");
    qRegisterMetaType<intptr_t>("intptr_t");
}

void VlcThumbnails::startProcessingList(intptr_t id, const QList<InData>& requests)
{
    QMutexLocker lock(&grabState().mutex);
    if (id == 0 || m_busy.exchange(true))
        return;
    m_id = id;
    m_requests = requests;
    start(QThread::InheritPriority);
}

void VlcThumbnails::mediaPlayerError(const QString& message)
{
    // Called on the worker thread, where m_file names the file being grabbed. A refused file
    // reports its reason twice: from the player and from the generator's start.
    if (message == m_lastError)
        return;
    m_lastError = message;
    qCWarning(lcPlaylist).noquote() << "no thumbnail of" << m_file << ":" << message;
}

void VlcThumbnails::run()
{
    GrabState& state = grabState();
    intptr_t id = 0;
    bool empty = false;
    {
        QMutexLocker lock(&state.mutex);
        id = m_id;
        empty = m_requests.isEmpty();
    }
    auto generator = std::make_unique<VlcThumbnailGenerator>(
        &VlcThumbnails::cbVideoPrerender, &VlcThumbnails::cbVideoPostrender, nullptr, GrabHeight);
    // The generator lives on this thread, which runs no event loop: the engine's errors reach it
    // as posted events, delivered while a file is polled (processElement).
    connect(generator.get(), &VlcThumbnailGenerator::error, this, &VlcThumbnails::mediaPlayerError,
            Qt::DirectConnection);

    while (!isInterruptionRequested() && !empty) {
        QString file;
        {
            QMutexLocker lock(&state.mutex);
            const InData request = m_requests.takeFirst();
            state.id = request.id;
            state.index = request.index;
            state.fileNumber = request.fileNumber;
            state.image = QImage();
            file = request.file;
            m_file = file;
            m_lastError.clear();
            empty = m_requests.isEmpty();
        }
        // A valid shared thumbnail spares the engine; a file that gave none before is not tried again.
        QImage image = ThumbnailStore::find(file);
        const bool known = !image.isNull() || ThumbnailStore::hasFailed(file);
        bool refused = false;
        if (!known)
            refused = !processElement(*generator, file);
        if (isInterruptionRequested())
            break;
        OutData result;
        {
            QMutexLocker lock(&state.mutex);
            result.id = state.id;
            result.index = state.index;
            result.fileNumber = state.fileNumber;
            if (!known && state.frameCaptured)
                image = state.image;
            state.image = QImage();
        }
        if (!known && !image.isNull())
            ThumbnailStore::save(file, image);
        else if (!known && (refused || !m_lastError.isEmpty()))
            ThumbnailStore::saveFailure(file);
        if (!image.isNull())
            result.image = image.scaledToHeight(ThumbnailHeight, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_RGB32);
        emit oneCompleted(result);
    }
    if (!isInterruptionRequested())
        emit allCompleted(id);
    generator->disconnect();
    generator.reset();
}

bool VlcThumbnails::processElement(VlcThumbnailGenerator& generator, const QString& file)
{
    GrabState& state = grabState();
    if (isInterruptionRequested())
        return true;
    state.frameCaptured = false;
    // The generator is driven without the grab mutex: stopping the player joins the decoding
    // thread, which may itself be waiting for that mutex in the pre-render callback.
    const bool started = generator.start(file) == 0;
    QCoreApplication::sendPostedEvents(&generator);
    if (!started)
        return false;
    QElapsedTimer waited;
    waited.start();
    int status = VlcEnums::Idle;
    while (status <= VlcEnums::Playing && !isInterruptionRequested() && !state.frameCaptured &&
           waited.elapsed() < m_frameTimeout) {
        msleep(10);
        QCoreApplication::sendPostedEvents(&generator);
        status = generator.getStatus();
    }
    // Stopping also covers a file given up while it was still opening.
    if (status <= VlcEnums::Playing)
        generator.finalize();
    QCoreApplication::sendPostedEvents(&generator);
    return true;
}

void VlcThumbnails::cbVideoPrerender(void* data, unsigned char** buffer, size_t size)
{
    Q_UNUSED(data)
    GrabState& state = grabState();
    *buffer = nullptr;
    if (state.frameCaptured)
        return;
    state.mutex.lock();
    try {
        state.frame.resize(size);
        *buffer = state.frame.data();
    } catch (const std::bad_alloc&) {
        if (size <= sizeof(state.fallback))
            *buffer = state.fallback;
    }
    // Without a buffer the engine drops the frame and no post-render follows.
    if (!*buffer)
        state.mutex.unlock();
}

void VlcThumbnails::cbVideoPostrender(void* data, unsigned char* buffer, int width, int height, int pitch,
                                      size_t size, int64_t pts)
{
    Q_UNUSED(data)
    Q_UNUSED(pitch)
    Q_UNUSED(pts)
    GrabState& state = grabState();
    if (state.frameCaptured)
        return;
    // The engine reports a few rows more than it scaled to; the buffer holds the requested ones.
    const size_t rowBytes = width > 0 ? size_t(width) * 4 : 0;
    const int rows = rowBytes ? int(qMin<size_t>(size_t(qMin(height, GrabHeight)), size / rowBytes)) : 0;
    QImage image;
    if (buffer && rows > 0) {
        image = QImage(width, rows, QImage::Format_RGB32);
        for (int row = 0; row < rows; ++row)
            std::memcpy(image.scanLine(row), buffer + size_t(row) * rowBytes, rowBytes);
    }
    state.image = image;
    state.frameCaptured = true;
    state.mutex.unlock();
}
