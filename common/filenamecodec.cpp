#include "filenamecodec.h"

#include <QTextCodec>

#include <mutex>

namespace {

constexpr ushort EscapeBase = 0xDC00;

bool isEscapedByte(ushort u)
{
    return u >= EscapeBase + 0x80 && u <= EscapeBase + 0xFF;
}

// Decodes `bytes`; returns how many were consumed. Unless `atEnd`, a valid but unfinished
// sequence at the end is left unconsumed for the next chunk.
int decodeInto(const uchar* bytes, int size, bool atEnd, QString& out)
{
    int i = 0;
    while (i < size) {
        const uchar lead = bytes[i];
        if (lead < 0x80) {
            out.append(QChar(lead));
            ++i;
            continue;
        }
        int need = 0;
        uint codePoint = 0;
        uchar low = 0x80;
        uchar high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            need = 1;
            codePoint = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            need = 2;
            codePoint = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
            high = lead == 0xED ? 0x9F : 0xBF; // no encoded surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            need = 3;
            codePoint = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        bool valid = need > 0;
        int taken = 1;
        for (; valid && taken <= need && i + taken < size; ++taken) {
            const uchar next = bytes[i + taken];
            const uchar min = taken == 1 ? low : 0x80;
            const uchar max = taken == 1 ? high : 0xBF;
            if (next < min || next > max)
                valid = false;
            else
                codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (valid && taken > need) {
            if (codePoint >= 0x10000) {
                out.append(QChar(QChar::highSurrogate(codePoint)));
                out.append(QChar(QChar::lowSurrogate(codePoint)));
            } else {
                out.append(QChar(ushort(codePoint)));
            }
            i += need + 1;
            continue;
        }
        if (valid && !atEnd)
            return i; // the rest of this sequence comes with the next chunk
        // Not UTF-8: keep the byte itself; what follows is looked at afresh.
        out.append(QChar(ushort(EscapeBase + lead)));
        ++i;
    }
    return size;
}

// Encodes `size` code units; returns how many were consumed (a high surrogate at the end
// waits for its partner unless `atEnd`).
int encodeInto(const QChar* text, int size, bool atEnd, QByteArray& out)
{
    int i = 0;
    while (i < size) {
        const ushort u = text[i].unicode();
        if (u < 0x80) {
            out.append(char(u));
        } else if (u < 0x800) {
            out.append(char(0xC0 | (u >> 6)));
            out.append(char(0x80 | (u & 0x3F)));
        } else if (QChar::isHighSurrogate(u)) {
            if (i + 1 == size && !atEnd)
                return i;
            if (i + 1 < size && text[i + 1].isLowSurrogate()) {
                const uint codePoint = QChar::surrogateToUcs4(u, text[i + 1].unicode());
                out.append(char(0xF0 | (codePoint >> 18)));
                out.append(char(0x80 | ((codePoint >> 12) & 0x3F)));
                out.append(char(0x80 | ((codePoint >> 6) & 0x3F)));
                out.append(char(0x80 | (codePoint & 0x3F)));
                i += 2;
                continue;
            }
            out.append('?');
        } else if (QChar::isLowSurrogate(u)) {
            out.append(isEscapedByte(u) ? char(u - EscapeBase) : '?');
        } else {
            out.append(char(0xE0 | (u >> 12)));
            out.append(char(0x80 | ((u >> 6) & 0x3F)));
            out.append(char(0x80 | (u & 0x3F)));
        }
        ++i;
    }
    return size;
}

class ByteKeepingUtf8Codec : public QTextCodec
{
public:
    QByteArray name() const override { return QByteArrayLiteral("UTF-8 (bytes kept)"); }
    // Outside the registered range, so a lookup of UTF-8 by number still finds Qt's own codec.
    int mibEnum() const override { return 3106; }

protected:
    QString convertToUnicode(const char* chars, int len, ConverterState* state) const override
    {
        QByteArray input;
        if (state && state->remainingChars > 0) {
            for (int i = 0; i < state->remainingChars && i < 3; ++i)
                input.append(char(state->state_data[i]));
            state->remainingChars = 0;
        }
        input.append(chars, len);
        QString result;
        result.reserve(input.size());
        // A stream is finished by an empty chunk; one-shot conversions end with their input.
        const bool atEnd = !state || len == 0;
        const int used =
            decodeInto(reinterpret_cast<const uchar*>(input.constData()), input.size(), atEnd, result);
        if (state) {
            state->remainingChars = input.size() - used;
            for (int i = 0; i < state->remainingChars; ++i)
                state->state_data[i] = uchar(input.at(used + i));
            // A stream starting with a byte-order mark drops it, as Qt's own UTF-8 codec does.
            if (!(state->flags & IgnoreHeader) && !result.isEmpty()) {
                if (result.at(0) == QChar(QChar::ByteOrderMark))
                    result.remove(0, 1);
                state->flags |= IgnoreHeader;
            }
        }
        return result;
    }

    QByteArray convertFromUnicode(const QChar* input, int length, ConverterState* state) const override
    {
        QByteArray result;
        result.reserve(length * 3 + 4);
        QString text;
        text.reserve(length + 1);
        if (state && state->remainingChars > 0) {
            text.append(QChar(ushort(state->state_data[0])));
            state->remainingChars = 0;
        }
        text.append(input, length);
        const bool atEnd = !state || length == 0;
        const int used = encodeInto(text.constData(), text.size(), atEnd, result);
        if (state) {
            if (used < text.size()) {
                state->remainingChars = 1;
                state->state_data[0] = text.at(used).unicode();
            }
            state->flags |= IgnoreHeader;
        }
        return result;
    }
};

} // namespace

namespace Fs {

QString decodeFileName(const QByteArray& bytes)
{
    QString result;
    result.reserve(bytes.size());
    decodeInto(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size(), true, result);
    return result;
}

QByteArray encodeFileName(const QString& name)
{
    QByteArray result;
    result.reserve(name.size() * 3);
    encodeInto(name.constData(), name.size(), true, result);
    return result;
}

void keepFileNameBytes()
{
    static std::once_flag once;
    std::call_once(once, []() {
        const QTextCodec* current = QTextCodec::codecForLocale();
        if (current && current->mibEnum() == 106) {
            // Qt owns every codec once it is constructed.
            QTextCodec::setCodecForLocale(new ByteKeepingUtf8Codec);
        }
    });
}

} // namespace Fs
