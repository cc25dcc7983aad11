#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

struct AVFrame;

// Rectangles that hide faces and number plates in exported pictures. Each mask moves through its
// keyframes: linearly between two, held before the first and after the last. Times count in
// seconds from the start of what is exported, coordinates in pixels of the recorded picture.
// Stored as {"masks":[{"mode":"blur","keyframes":[{"t":0,"x":10,"y":20,"w":100,"h":40},…]}]}.
class Masks
{
    Q_DECLARE_TR_FUNCTIONS(Masks)
public:
    enum class Mode
    {
        Blur,
        Pixelate
    };
    struct Keyframe
    {
        double seconds = 0.0;
        QRect rect;
    };
    struct Mask
    {
        Mode mode = Mode::Blur;
        QVector<Keyframe> keyframes; // in time order
    };

    bool isEmpty() const { return m_masks.isEmpty(); }
    const QVector<Mask>& masks() const { return m_masks; }
    QVector<Mask>& masks() { return m_masks; }

    // False with errorString() naming the problem for a file that is no such mask list.
    bool read(const QByteArray& json);
    bool load(const QString& path);
    QByteArray toJson() const;
    // Written under a temporary name and renamed when complete.
    bool save(const QString& path);
    QString errorString() const { return m_error; }

    // False with errorString() when a keyframe does not lie wholly inside a picture of `size`.
    bool fits(const QSize& size);

    // Where a mask is `seconds` after the start.
    static QRect rectAt(const Mask& mask, double seconds);
    // The same masks on a clock that starts `seconds` later.
    Masks shifted(double seconds) const;
    // Sets the keyframe of mask `index` at `seconds` (replacing one within half a frame).
    void setKeyframe(int index, double seconds, const QRect& rect);
    // Removes the keyframe of mask `index` at `seconds`, and the mask with its last keyframe.
    void removeKeyframe(int index, double seconds);
    // The mask whose rectangle at `seconds` holds `point`, the last drawn first; -1 for none.
    int maskAt(const QPoint& point, double seconds) const;

    // Hides the masks' rectangles at `seconds` in a picture: planar YUV 4:2:0 or RGB32.
    void apply(AVFrame* frame, double seconds) const;
    void apply(QImage& image, double seconds) const;

private:
    QVector<Mask> m_masks;
    QString m_error;
};
