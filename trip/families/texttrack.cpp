// Text sample layout: QuickTime File Format, "Text sample data" and "Subtitle sample data" (a
// 16-bit length word, the text, then optional extension atoms); 3GPP timed text ("tx3g") keeps
// the same length word before its text.

#include "texttrack.h"

#include <algorithm>

namespace Camera {

namespace {

constexpr quint32 Text = Mp4Boxes::fourcc("text");
constexpr quint32 Subtitle = Mp4Boxes::fourcc("sbtl");
constexpr quint32 TimedText = Mp4Boxes::fourcc("tx3g");

// Longest sample read: a length word and the most text it can announce.
constexpr quint32 MaxSampleSize = 2 + 0xffff;

bool isTextTrack(const Mp4Boxes::Track& track)
{
    return track.handler == Text || track.handler == Subtitle || track.format == Text ||
           track.format == TimedText;
}

} // namespace

qint64 TextTrack::toMs(qint64 time, quint32 timescale)
{
    if (timescale == 0)
        return 0;
    return time / timescale * 1000 + time % timescale * 1000 / timescale;
}

QByteArray TextTrack::textOf(const QByteArray& sample, bool& cut)
{
    cut = false;
    if (sample.startsWith('$'))
        return sample;
    if (sample.size() < 2) {
        cut = !sample.isEmpty();
        return {};
    }
    const int length = Mp4Boxes::u16(sample, 0);
    if (length > sample.size() - 2)
        cut = true;
    return sample.mid(2, length);
}

std::vector<TextTrack> TextTrack::read(Mp4Boxes& file, QString& error)
{
    std::vector<TextTrack> result;
    const auto note = [&error](const QString& problem) {
        if (error.isEmpty())
            error = problem;
    };
    if (!file.isOpen()) {
        note(QStringLiteral("the file cannot be opened"));
        return result;
    }
    Mp4Boxes::Box moov;
    if (!file.findPath({Mp4Boxes::fourcc("moov")}, moov)) {
        note(file.problem().isEmpty() ? QStringLiteral("the file has no movie box") : file.problem());
        return result;
    }

    // The pictures' and the sound's tables are never needed here.
    const auto notMedia = [](quint32 handler) {
        return handler != Mp4Boxes::fourcc("vide") && handler != Mp4Boxes::fourcc("soun");
    };
    const std::vector<Mp4Boxes::Track> tracks = file.tracks(notMedia);
    qint64 bytesLeft = MaxTextBytes;
    for (const Mp4Boxes::Track& track : tracks) {
        if (!isTextTrack(track))
            continue;
        if (track.timescale == 0) {
            note(QStringLiteral("a text track has no time scale"));
            continue;
        }
        TextTrack text;
        text.samples.reserve(std::min<std::size_t>(track.samples.size(), 65536));
        for (const Mp4Boxes::Sample& sample : track.samples) {
            const qint64 size = std::min<qint64>(sample.size, MaxSampleSize);
            if (size > bytesLeft) {
                note(QStringLiteral("read only the first %1 bytes of text").arg(MaxTextBytes));
                break;
            }
            bytesLeft -= size;
            const QByteArray data = file.read(sample.offset, size);
            if (data.size() < size) {
                note(QStringLiteral("the text sample at %1 lies beyond the end of the file")
                         .arg(sample.offset));
                break; // the file is cut: the samples after it are gone as well
            }
            bool cut = false;
            QByteArray sampleText = textOf(data, cut);
            if (cut)
                note(QStringLiteral("the text sample at %1 is cut short").arg(sample.offset));
            if (!sampleText.isEmpty())
                text.samples.push_back(Sample{toMs(sample.time, track.timescale), std::move(sampleText)});
        }
        result.push_back(std::move(text));
        if (bytesLeft <= 0)
            break;
    }
    if (!file.problem().isEmpty())
        note(file.problem());
    return result;
}

} // namespace Camera
