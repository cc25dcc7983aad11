#pragma once

#include "vireoexport.h"

#include <QObject>

#include <cstddef>
#include <cstdint>

class VlcInstance;
class VlcPlayer;

// Decodes a file without showing it: every frame is scaled to a fixed height,
// converted to 32-bit RGB and handed to the two callbacks, which run on the
// engine's decoding threads.
class VIREO_EXPORT VlcThumbnailGenerator : public QObject
{
    Q_OBJECT
public:
    // Supplies a buffer of size bytes for the next frame in *buffer. Leaving
    // *buffer null makes the engine drop that frame.
    using PrerenderCallback = void (*)(void* data, unsigned char** buffer, size_t size);
    // The buffer now holds the frame: width x requested height pixels of 4 bytes.
    // height may report a few rows more than were requested; pitch is bits per pixel.
    using PostrenderCallback = void (*)(void* data, unsigned char* buffer, int width, int height, int pitch,
                                        size_t size, int64_t pts);

    VlcThumbnailGenerator(PrerenderCallback prerender, PostrenderCallback postrender, void* data, int height,
                          QObject* parent = nullptr);
    ~VlcThumbnailGenerator() override;

    // Player state (VlcEnums::State values).
    int getStatus() const;

public slots:
    // 0 when the file plays and frames will follow, non-zero (and error) otherwise.
    int start(const QString& file);
    void finalize();

signals:
    void error(const QString& message);

private slots:
    void on_error(const QString& message);

private:
    VlcInstance* m_instance = nullptr;
    VlcPlayer* m_player = nullptr;
};
