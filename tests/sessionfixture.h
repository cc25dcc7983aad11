#pragma once

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QWidget>

#include <functional>

// Helpers for tests that run the whole program, or its window, on a copy of the sample card.
namespace Session {

inline QString sampleCard()
{
    return qEnvironmentVariable("TARROW_SOURCE_DIR") + QStringLiteral("/samples/card");
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// No test touches the network: the tile server is a closed loopback port, the tile cache lies
// below `folder`.
inline void closeTileServer(const QString& folder)
{
    qputenv("TARROW_TILE_SERVER", "http://127.0.0.1:9/%1/%2/%3.png");
    qputenv("XDG_CACHE_HOME", (folder + QStringLiteral("/cache")).toLocal8Bit());
}

inline bool copyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

// Path relative to `root` -> SHA-256 of the file's bytes.
inline QMap<QString, QByteArray> checksums(const QString& root)
{
    QMap<QString, QByteArray> sums;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            sums.insert(path.mid(root.size()),
                        QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
        }
    }
    return sums;
}

// What the X server shows of a widget, video included (the engine draws into native windows
// the widget's own rendering does not contain).
inline QImage screenImage(const QWidget* widget)
{
    QScreen* screen = widget->screen();
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0));
    return screen->grabWindow(0, origin.x(), origin.y(), widget->width(), widget->height()).toImage();
}

// Share of pixels that are bright yellow: the colour-bar clips have a yellow bar, the fractal
// clips hardly any yellow.
inline double yellowShare(const QImage& image)
{
    const QImage small = image.scaled(96, 54).convertToFormat(QImage::Format_RGB32);
    int yellow = 0;
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x) {
            const QColor c = small.pixelColor(x, y);
            yellow += c.red() > 200 && c.green() > 200 && c.blue() < 80;
        }
    }
    return double(yellow) / (small.width() * small.height());
}

// A double click on a row as the mouse sends it: press, release, press, double click, release.
inline void doubleClickRow(QTreeView* tree, int row)
{
    tree->scrollTo(tree->model()->index(row, 1));
    const QPoint at = tree->visualRect(tree->model()->index(row, 1)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at);
}

// Runs `action` on the modal window of type T once it has been shown for `delayMs`. Polls
// without blocking, so the action runs inside the modal window's own event loop.
template <typename T> void whenShown(std::function<void(T*)> action, int delayMs = 300, int attempts = 300)
{
    QTimer::singleShot(50, [action, delayMs, attempts]() {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window && window->isVisible())
            QTimer::singleShot(delayMs, [action, window]() { action(window); });
        else if (attempts > 0)
            whenShown<T>(action, delayMs, attempts - 1);
    });
}

} // namespace Session
