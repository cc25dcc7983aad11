#pragma once

#include <QString>
#include <QtGlobal>

// A length of time in milliseconds, shown as "mm:ss", or "hh:mm:ss" from one hour on.
class Duration
{
public:
    Duration() = default;
    explicit Duration(qint64 ms) : m_ms(ms) {}
    virtual ~Duration() = default;

    qint64 ms() const { return m_ms; }
    QString toString() const;

private:
    qint64 m_ms = 0;
};
