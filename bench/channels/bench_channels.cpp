// Opens a two-channel card made by make-channel-card in the video area and prints:
//   seek_one_ms   median time of a paused seek until the picture is published, trip's own
//                 channel alone (the rear left out of the trip)
//   seek_two_ms   the same with the rear in step: until both channels are paused on their
//                 pictures
//   layout_ms     median time from a layout change (V) to the new layout on screen, paused
//                 (layout_playing_ms: while playing)
//   swap_ms       median time from a swap (C) to the rear shown large on screen, paused
//                 (swap_playing_ms: while playing)
//
//   bench_channels CARD [ROUNDS]
#include "channeldeck.h"
#include "channelfollower.h"
#include "channelview.h"
#include "vlcqtvideowidget.h"

#include "vireo/vlcfileduration.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

namespace {

using State = VlcQtVideoWidget::PlayState;

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

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::shared_ptr<Trip::TripList> trip(const QString& card, bool withRear)
{
    const QDateTime start(QDate(2024, 5, 1), QTime(9, 0, 0), Qt::UTC);
    auto list = std::make_shared<Trip::TripList>();
    for (int segment = 0; segment < 2; ++segment) {
        const QString stamp = start.addSecs(3 * segment).toString(QStringLiteral("yyyyMMdd_HHmmss"));
        const auto make = [&](const QString& suffix, const QString& channel) {
            const QString file = card + QStringLiteral("/BlackVue/Record/") + stamp + suffix;
            QString error;
            Trip::TripItem item{VlcFileDuration::getFileDuration(file, error), false, file, {}};
            item.channel = channel;
            item.start = start.addSecs(3 * segment);
            return item;
        };
        Trip::TripItem front = make(QStringLiteral("_NF.mp4"), QStringLiteral("front"));
        if (withRear)
            front.channels.push_back(make(QStringLiteral("_NR.mp4"), QStringLiteral("rear")));
        list->push_back(front);
    }
    return list;
}

// The grey of the strip that names a channel, at a point of the deck's window.
int channelAt(ChannelDeck& deck, const QPoint& point)
{
    const QImage image =
        QGuiApplication::primaryScreen()->grabWindow(deck.winId(), point.x(), point.y(), 1, 1).toImage();
    return image.isNull() ? -1 : qRound((qRed(image.pixel(0, 0)) - 40) / 60.0);
}

std::vector<double> pausedSeeks(VlcQtVideoWidget& main, ChannelDeck& deck, int rounds)
{
    std::vector<double> times;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> position(200, 5600);
    for (int i = 0; i < rounds; ++i) {
        const int target = position(random) / 40 * 40 + 20;
        QElapsedTimer clock;
        clock.start();
        main.setPosition(target);
        const bool ok = waitFor(
            [&]() {
                if (main.playState() != State::Paused || main.position() != target)
                    return false;
                for (const QString& channel : deck.channels().mid(1)) {
                    VlcQtVideoWidget* follower = deck.view(channel)->follower();
                    if (!deck.view(channel)->showsPlaceholder() &&
                        (follower->playState() != State::Paused ||
                         follower->position() != follower->targetPosition()))
                        return false;
                }
                return true;
            },
            5000);
        if (ok)
            times.push_back(clock.elapsed());
    }
    return times;
}

// Times from a layout change (pictures in the corner to side by side) and from a swap (the
// rear large) to the screen showing it.
std::pair<std::vector<double>, std::vector<double>> layoutChanges(ChannelDeck& deck, int rounds)
{
    std::vector<double> layout;
    std::vector<double> swap;
    for (int i = 0; i < rounds; ++i) {
        deck.setLargeChannel(QStringLiteral("front"));
        deck.setChannelLayout(ChannelDeck::Layout::PictureInPicture);
        waitFor([] { return false; }, 150);
        QElapsedTimer clock;
        clock.start();
        deck.setChannelLayout(ChannelDeck::Layout::SideBySide);
        // Side by side, the rear's strip is at the bottom of the right half's 16:9 picture.
        const QPoint sideStrip(deck.width() * 3 / 4, deck.height() / 2 + deck.width() / 2 * 9 / 16 * 7 / 16);
        if (waitFor([&]() { return channelAt(deck, sideStrip) == 1; }, 2000))
            layout.push_back(clock.elapsed());

        deck.setChannelLayout(ChannelDeck::Layout::PictureInPicture);
        waitFor([] { return false; }, 150);
        clock.restart();
        deck.setLargeChannel(QStringLiteral("rear"));
        // Large, the rear's strip runs along the bottom left of the whole area.
        const QPoint largeStrip(deck.width() / 8, deck.height() - deck.height() / 16);
        if (waitFor([&]() { return channelAt(deck, largeStrip) == 1; }, 2000))
            swap.push_back(clock.elapsed());
    }

    return {layout, swap};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_channels CARD [ROUNDS]\n");
        return 2;
    }
    const QString card = QString::fromLocal8Bit(argv[1]);
    const int rounds = argc > 2 ? std::max(3, std::atoi(argv[2])) : 15;

    auto* main = new VlcQtVideoWidget;
    ChannelDeck deck(main);
    deck.setChannelLayout(ChannelDeck::Layout::PictureInPicture);
    deck.resize(960, 540);
    deck.show();

    double seek[2] = {};
    for (int withRear = 0; withRear < 2; ++withRear) {
        const auto list = trip(card, withRear == 1);
        main->setMedia(list);
        deck.setMedia(list);
        waitFor([&]() { return main->playState() == State::Playing; }, 5000);
        main->play();
        waitFor([&]() { return main->playState() == State::Paused; }, 5000);
        QTimer::singleShot(0, [] {});
        waitFor([] { return false; }, 500);
        seek[withRear] = median(pausedSeeks(*main, deck, rounds));
    }

    // The picture of the rear at the centre of its strip in each layout; paused, then playing.
    double layoutMs[2] = {};
    double swapMs[2] = {};
    for (int playing = 0; playing < 2; ++playing) {
        if (playing) {
            main->setPosition(0);
            main->play();
            waitFor([&]() { return main->playState() == State::Playing; }, 5000);
        }
        const auto [layout, swap] = layoutChanges(deck, rounds);
        layoutMs[playing] = median(layout);
        swapMs[playing] = median(swap);
    }

    std::printf("seek_one_ms=%.0f seek_two_ms=%.0f layout_ms=%.0f swap_ms=%.0f layout_playing_ms=%.0f "
                "swap_playing_ms=%.0f\n",
                seek[0], seek[1], layoutMs[0], swapMs[0], layoutMs[1], swapMs[1]);
    main->setMedia(nullptr);
    deck.setMedia(nullptr);
    return 0;
}
