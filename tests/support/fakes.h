#pragma once

#include "core/update/processstarter.h"
#include "gui/platform/desktopshortcut.h"
#include "gui/window/services.h"
#include "webapi/flashplayer.h"

#include <QLabel>
#include <QStringList>

// Recording doubles for the window's services.

struct ShownMessage
{
    QString text;
    QString title;
    MessageBoxes::Icon icon;
};

class RecordingMessages : public MessageBoxes
{
public:
    void show(const QString &text, const QString &title, Icon icon) override
    {
        shown.append({text, title, icon});
    }
    bool confirm(const QString &text) override
    {
        confirmed.append(text);
        return answerYes;
    }
    bool offer(const QString &text, const QString &action) override
    {
        shown.append({text, action, Icon::None});
        return answerYes;
    }
    QStringList texts() const
    {
        QStringList t;
        for (const ShownMessage &m : shown)
            t.append(m.text);
        return t;
    }

    QList<ShownMessage> shown;
    QStringList confirmed;
    bool answerYes = false;
};

// A player whose frames the test sets; records the calls it gets.
class FakePlayer : public FlashPlayer
{
public:
    void setMovie(const QString &movie) override;
    QString movie() const override { return loaded; }
    int totalFrames() const override { return loaded == EmptyMovie ? 0 : frames; }
    int frameNum() const override { return frame; }
    bool isPlaying() const override { return running; }
    void play() override
    {
        calls.append(QStringLiteral("Play"));
        running = true;
    }
    void stop() override
    {
        calls.append(QStringLiteral("StopPlay"));
        running = false;
    }
    void goToFrame(int to) override
    {
        calls.append(QStringLiteral("GotoFrame %1").arg(to));
        frame = to;
    }
    QWidget *widget() override { return &view; }
    void setMuted(bool m) override { muted = m; }

    QString loaded = EmptyMovie;
    int frames = 100;
    int frame = 0;
    bool running = false;
    bool muted = false;
    QStringList calls;
    QLabel view;
};

class FakeBrowser : public InfoStrip
{
public:
    void navigate(const QString &urlOrFile) override { visited.append(urlOrFile); }
    void setSilent(bool s) override { silent = s; }
    QWidget *widget() override { return &view; }
    void setErrorHandler(ErrorHandler handler) override { onError = std::move(handler); }
    void fail(const QString &url)
    {
        if (onError)
            onError(url);
    }

    QStringList visited;
    bool silent = false;
    QLabel view;
    ErrorHandler onError;
};

// Hands every call on to `strip` and keeps the addresses of the pages that
// failed, as whoever set a handler is told them.
class ErrorRecordingStrip : public InfoStrip
{
public:
    explicit ErrorRecordingStrip(InfoStrip *strip) : m_strip(strip) {}
    void navigate(const QString &urlOrFile) override { m_strip->navigate(urlOrFile); }
    void setSilent(bool s) override { m_strip->setSilent(s); }
    QWidget *widget() override { return m_strip->widget(); }
    void setErrorHandler(ErrorHandler handler) override
    {
        m_strip->setErrorHandler([this, handler = std::move(handler)](const QString &url) {
            errors.append(url);
            if (handler)
                handler(url);
        });
    }

    QStringList errors;

private:
    InfoStrip *m_strip;
};

// Records the programs it is asked to start, and starts none.
class RecordingStarter : public ProcessStarter
{
public:
    bool startDetached(const QString &program, const QString &) override
    {
        started.append(program);
        return false;
    }
    QStringList started;
};

// A desktop that the test sets up; records the shortcuts made.
class RecordingShortcut : public DesktopShortcut
{
public:
    QString desktopFolder() const override { return desktop; }
    bool create(const QString &folder, const Target &target) override
    {
        made.append(folder + QLatin1Char('|') + target.programDir + QLatin1Char('|') +
                    target.appDir);
        return succeed;
    }
    QString desktop = QStringLiteral("/home/x/Desktop");
    bool succeed = true;
    QStringList made;
};

class FakeSound : public SoundOutput
{
public:
    void play(const QString &name) override { played.append(name); }
    void setMuted(bool m) override { muted = m; }
    QStringList played;
    bool muted = false;
};
