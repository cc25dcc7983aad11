#pragma once

#include "vireoexport.h"

#include <QObject>
#include <QString>
#include <QStringList>

struct libvlc_event_manager_t;
struct libvlc_event_t;
struct libvlc_instance_t;
struct libvlc_media_list_player_t;
struct libvlc_media_list_t;
struct libvlc_media_player_t;
struct libvlc_media_t;
class VlcInstance;
class VlcVideoWidget;

// Plays one file, or a list of files back to back, into a VlcVideoWidget.
// Every file is checked for an H.264-class video track with a real resolution
// before it is played. The signals are emitted on the engine's event thread.
class VIREO_EXPORT VlcPlayer : public QObject
{
    Q_OBJECT
public:
    // The player becomes a QObject child of instance. videoWidget may be null.
    VlcPlayer(VlcInstance* instance, VlcVideoWidget* videoWidget, bool listPlayback);
    ~VlcPlayer() override;

    VlcPlayer(const VlcPlayer&) = delete;
    VlcPlayer& operator=(const VlcPlayer&) = delete;

    // Both return 0 when playback starts, -1 otherwise.
    int open(const QString& file);
    int open(const QStringList& files);

    qint64 getDuration() const;
    qint64 getTime() const;
    int getState() const;
    int getVolume() const;
    bool getMute() const;

    QString getLastError() const { return m_lastError; }
    void clearLastError() { m_lastError.clear(); }

    bool verifyFourCC(libvlc_media_t* media);

    // Options the engine applies to every media this player opens from now on,
    // in the engine's ":name=value" form.
    void setMediaOptions(const QStringList& options);

    static const int m_eventlist[9];
    static const char* const m_correctFourCC[6];

public slots:
    int play();
    int play(int idx);
    void pause();
    void stop();
    int next();
    int previous();
    void setTime(int ms);
    void setVolume(int volume);
    void toggleMute();

signals:
    void timeChanged(int ms);
    void stateChanged();
    void nextItemSet(const QString& file);
    void error(const QString& message);

private:
    static void handleEvent(const libvlc_event_t* event, void* data);

    libvlc_media_t* createMedia(const QString& file) const;
    void fail(const QString& message);
    void requestSurface();
    int playItem(int idx);

    QString m_lastError;
    libvlc_instance_t* m_vlcInstance = nullptr;
    VlcVideoWidget* m_videoWidget = nullptr;
    libvlc_media_player_t* m_mediaPlayer = nullptr;
    libvlc_media_list_player_t* m_listPlayer = nullptr;
    libvlc_event_manager_t* m_playerEvents = nullptr;
    libvlc_event_manager_t* m_listEvents = nullptr;
    libvlc_media_list_t* m_mediaList = nullptr;
    QList<QByteArray> m_mediaOptions;
};
