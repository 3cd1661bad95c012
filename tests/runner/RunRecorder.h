#pragma once
#include "runner/ReadOutput.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Records the events of one ReadOutput in order, and lets a test act from
// inside each handler, as a host would.
class RunRecorder {
public:
    struct Event {
        QString kind;
        QString text; // chunk or error description
        int code = 0; // error code
        bool last = false;
    };

    explicit RunRecorder(ReadOutput &runner)
    {
        QObject::connect(&runner, &ReadOutput::Error, [this](const QString &error, int &code) {
            events.append({QStringLiteral("Error"), error, code, false});
        });
        QObject::connect(&runner, &ReadOutput::GotChunk, [this](const QString &chunk, bool last) {
            events.append({QStringLiteral("GotChunk"), chunk, 0, last});
            if (onChunk)
                onChunk(chunk, last);
        });
        QObject::connect(&runner, &ReadOutput::Complete, [this] {
            events.append({QStringLiteral("Complete"), {}, 0, false});
            if (onComplete)
                onComplete();
        });
        QObject::connect(&runner, &ReadOutput::Starting, [this] {
            events.append({QStringLiteral("Starting"), {}, 0, false});
            if (onStarting)
                onStarting();
        });
        QObject::connect(&runner, &ReadOutput::Canceled, [this] {
            events.append({QStringLiteral("Canceled"), {}, 0, false});
        });
    }

    // Event kinds in order, with runs of data chunks folded into one "Chunks"
    // and the last chunk shown as "LastChunk".
    QStringList outline() const
    {
        QStringList result;
        for (const Event &e : events) {
            QString kind = e.kind;
            if (kind == QLatin1String("GotChunk"))
                kind = e.last ? QStringLiteral("LastChunk") : QStringLiteral("Chunks");
            if (kind == QLatin1String("Chunks") && !result.isEmpty() && result.last() == kind)
                continue;
            result.append(kind);
        }
        return result;
    }

    QString output() const
    {
        QString all;
        for (const Event &e : events) {
            if (e.kind == QLatin1String("GotChunk"))
                all += e.text;
        }
        return all;
    }

    QList<Event> ofKind(const QString &kind) const
    {
        QList<Event> result;
        for (const Event &e : events) {
            if (e.kind == kind)
                result.append(e);
        }
        return result;
    }

    QList<Event> events;
    std::function<void()> onStarting;
    std::function<void(const QString &, bool)> onChunk;
    std::function<void()> onComplete;
};
