#pragma once

#include "vireoexport.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

class VlcInstance;
class VlcPlayerPrivate;
class VlcVideoWidget;

// Plays one file, or a list of files back to back, into a VlcVideoWidget.
// Every file is checked for an H.264-class or H.265 video track with a real resolution
// before it is played. The signals are emitted on the engine's event thread.
//
// A list keeps the positions of its files: a file that fails the check is passed
// over when its turn comes (and reported through error), so item i is always the
// i-th file given to open.
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

    // Plays the list from startMs into item idx, or from the first playable item after
    // it; the first picture shown is the one at startMs. 0 on success, -1 otherwise.
    int play(int idx, int startMs);
    // The list item being played; -1 before the first.
    int currentIndex() const;
    // True when list item idx passes the file check (checked once, on the first question).
    // With background checks: false only once its check has failed.
    bool isPlayable(int idx);

    // List playback only. The files of a list are checked on a thread of their own, in order,
    // from open on; open and play return at once, and an item is played once its check has
    // passed (or the next one that passes, as without). Off by default.
    void setBackgroundChecks(bool enabled);

    qint64 getDuration() const;
    qint64 getTime() const;
    int getState() const;
    int getVolume() const;
    bool getMute() const;

    // Shape of the picture of the file being played, from its check: the stored size
    // with its pixel shape applied. Empty when unknown.
    QSize videoSize() const;
    // Frames per second of the file being played; 0 when unknown.
    double frameRate() const;

    // Playback speed, 1.0 normal; it holds for every file played from now on.
    void setRate(double rate);
    double rate() const;

    QString getLastError() const;
    void clearLastError();

    // The file check of open on its own: true when file carries an accepted video
    // track with a real resolution; otherwise the reason becomes the last error and
    // is emitted through error.
    bool verifyFourCC(const QString& file);

    // Options the engine applies to every media this player opens from now on,
    // in the engine's ":name=value" form.
    void setMediaOptions(const QStringList& options);

    static const int m_eventlist[9];
    // H.264-class and H.265 codes, upper case.
    static const char* const m_correctFourCC[9];

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
    // How far the engine has buffered after opening a file or seeking, 0 to 100; at 100
    // the picture of the new position follows (also while paused).
    void buffering(int percent);
    // With background checks: a play (or open) found no file from its item on that passes
    // the check. Emitted on the player's thread.
    void playFailed();

private:
    friend class VlcPlayerPrivate;
    std::unique_ptr<VlcPlayerPrivate> m_d;
};
