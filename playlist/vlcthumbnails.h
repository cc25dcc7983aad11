#pragma once

#include <QImage>
#include <QList>
#include <QMetaType>
#include <QModelIndex>
#include <QThread>

#include <atomic>
#include <cstddef>
#include <cstdint>

class VlcThumbnailGenerator;

// The first frame, 60 pixels high, of one video per request, one file after another: from the
// thumbnails shared with other programs (ThumbnailStore) when they hold a valid one, otherwise
// grabbed from the video and kept there.
// The frames arrive on the engine's decoding threads; the hand-over state is class-wide, so
// only one worker may grab at a time in the process.
class VlcThumbnails : public QThread
{
    Q_OBJECT
public:
    struct InData
    {
        intptr_t id = 0;
        QModelIndex index;
        int fileNumber = 0;
        QString file;
    };

    struct OutData
    {
        intptr_t id = 0;
        QModelIndex index;
        int fileNumber = 0;
        QImage image; // null when no frame was captured
    };

    static constexpr int ThumbnailHeight = 60;
    // Frames are grabbed this high: a 16:9 picture then fills the shared thumbnails' 128 pixels.
    static constexpr int GrabHeight = 72;

    explicit VlcThumbnails(QObject* parent = nullptr);
    // Interrupts and waits for the thread.
    ~VlcThumbnails() override;

    // Starts the thread once per object; an id of 0 starts nothing.
    void startProcessingList(intptr_t id, const QList<InData>& requests);

    // A file that gives no frame within this time is given up.
    void setFrameTimeout(int milliseconds) { m_frameTimeout = milliseconds; }

    static void registerMetaTypes();

    static void cbVideoPrerender(void* data, unsigned char** buffer, size_t size);
    static void cbVideoPostrender(void* data, unsigned char* buffer, int width, int height, int pitch,
                                  size_t size, int64_t pts);

signals:
    void oneCompleted(const VlcThumbnails::OutData& result);
    void allCompleted(intptr_t id);

public slots:
    // Logs an error of the engine about the file being grabbed.
    void mediaPlayerError(const QString& message);

protected:
    void run() override;

private:
    // False when the engine refused the file at once.
    bool processElement(VlcThumbnailGenerator& generator, const QString& file);

    std::atomic<bool> m_busy{false};
    std::atomic<intptr_t> m_id{0};
    QList<InData> m_requests;
    std::atomic<int> m_frameTimeout{5000};
    // The file being grabbed and the last error logged for it; the worker thread's own.
    QString m_file;
    QString m_lastError;
};

Q_DECLARE_METATYPE(VlcThumbnails::InData)
Q_DECLARE_METATYPE(VlcThumbnails::OutData)
