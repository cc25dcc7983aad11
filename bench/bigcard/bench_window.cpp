// Opens a card of one numbered 4K recording in the whole main window, pauses, and prints:
//   seek_ms        median (and worst) time of a paused seek until its frame is on screen
//   still_ms       median (and worst) time from the snapshot button to the still written
//   still_stall_ms the longest the window's event loop stood still while a still was made
//
//   bench_window CARD [ROUNDS] [STILL_MS]
//
// The stills are of the picture at STILL_MS (8500 unless given).
// The recording's top left quarter counts its frames in grey: its left half the frame modulo 8,
// its right half the frame divided by 8, modulo 8; level n is 16 + 32n (made by bench/bigcard/run).
#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "evidenceexport.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "playlistwgt.h"
#include "vlcqtvideowidget.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

namespace {

using State = VlcQtVideoWidget::PlayState;

const double FrameRate = 30.0;

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void wait(int ms)
{
    waitFor([] { return false; }, ms);
}

std::pair<double, double> medianAndWorst(std::vector<double> values)
{
    if (values.empty())
        return {-1, -1};
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

// The frame number (modulo 64) the screen shows in the counting quarter of the picture, -1 when
// the colour there is no count.
int shownFrame(QWidget* video)
{
    // The picture is fitted into the widget: 16:9, centred.
    const int w = video->width();
    const int h = video->height();
    const int pw = std::min(w, h * 16 / 9);
    const int ph = pw * 9 / 16;
    const auto grey = [&](int x, int y) {
        const QImage image =
            QGuiApplication::primaryScreen()->grabWindow(video->winId(), x, y, 1, 1).toImage();
        if (image.isNull())
            return -1;
        const QRgb pixel = image.pixel(0, 0);
        if (qAbs(qRed(pixel) - qGreen(pixel)) > 24 || qAbs(qGreen(pixel) - qBlue(pixel)) > 24)
            return -1;
        return qRound((qGreen(pixel) - 16) / 32.0);
    };
    const int low = grey((w - pw) / 2 + pw / 16, (h - ph) / 2 + ph / 8);
    const int high = grey((w - pw) / 2 + pw * 3 / 16, (h - ph) / 2 + ph / 8);
    return low < 0 || high < 0 ? -1 : low + 8 * high;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_window CARD [ROUNDS] [STILL_MS]\n");
        return 2;
    }
    const QString card = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 9;
    const int stillMs = argc > 3 ? std::atoi(argv[3]) : 8500;
    QTemporaryDir stills;
    ZelSettings::setValue(ZelSettings::SnapshotPath, stills.path());

    MainWindow window;
    window.resize(1280, 900);
    window.show();
    Ui_MainWindow* ui = window.form();
    PlaylistWgt* playlist = ui->fileWidget;
    VlcQtVideoWidget* video = ui->videoWidget;
    window.openPaths({card});
    if (!waitFor(
            [&] { return playlist->model() && playlist->model()->rowCount() > 0 && !playlist->isWorking(); },
            60000)) {
        std::fprintf(stderr, "the card was not listed\n");
        return 1;
    }
    playlist->on_TreeViewDoubleClick(playlist->treeView()->model()->index(0, 1));
    if (!waitFor([&] { return video->playState() == State::Playing; }, 30000)) {
        std::fprintf(stderr, "the trip did not start\n");
        return 1;
    }
    wait(1000);
    video->play();
    waitFor([&] { return video->playState() == State::Paused; }, 5000);
    wait(1000);

    // Paused seeks to the middle of frames all over the recording, each until its frame shows.
    std::vector<double> seeks;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> frames(3, 290);
    int wrong = 0;
    for (int i = 0; i < rounds; ++i) {
        const int frame = frames(random);
        const qint64 target = qint64((frame + 0.5) * 1000.0 / FrameRate);
        QElapsedTimer clock;
        clock.start();
        video->setPosition(int(target));
        if (waitFor([&] { return shownFrame(video) == frame % 64; }, 5000))
            seeks.push_back(clock.elapsed());
        else
            ++wrong;
        // The engine settles before the next one.
        waitFor([&] { return video->playState() == State::Paused; }, 3000);
        wait(300);
    }

    // Stills of the paused picture, the event loop's gaps measured by a fast timer meanwhile.
    video->setPosition(stillMs);
    const int stillFrame = int(stillMs * FrameRate / 1000.0);
    waitFor([&] { return video->playState() == State::Paused && shownFrame(video) == stillFrame % 64; },
            5000);
    wait(300);
    std::vector<double> stillTimes;
    std::vector<double> stalls;
    for (int i = 0; i < std::max(3, rounds / 3); ++i) {
        int saved = 0;
        const auto connection = QObject::connect(window.evidenceExport(), &EvidenceExport::snapshotSaved,
                                                 [&saved](const QString&) { ++saved; });
        QElapsedTimer gap;
        qint64 longest = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&]() { longest = std::max(longest, gap.restart()); });
        QElapsedTimer clock;
        clock.start();
        gap.start();
        tick.start(5);
        ui->ctrlPanel->form()->snapshotButton->click();
        const bool ok = waitFor([&] { return saved > 0; }, 60000);
        tick.stop();
        QObject::disconnect(connection);
        if (ok) {
            stillTimes.push_back(clock.elapsed());
            stalls.push_back(longest);
        }
        wait(500);
    }
    const auto [seek, seekWorst] = medianAndWorst(seeks);
    const auto [still, stillWorst] = medianAndWorst(stillTimes);
    const auto [stall, stallWorst] = medianAndWorst(stalls);
    std::printf("seek_ms=%.0f seek_worst_ms=%.0f seek_missed=%d still_ms=%.0f still_worst_ms=%.0f "
                "still_stall_ms=%.0f still_stall_worst_ms=%.0f\n",
                seek, seekWorst, wrong, still, stillWorst, stall, stallWorst);
    std::fflush(stdout);
    // The window and its engine go down with the process; closing would ask for confirmation.
    std::_Exit(0);
}
