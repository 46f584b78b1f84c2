#pragma once

#include <QWebEnginePage>

// The player's web page. Its script reports to the program through console
// messages with a prefix of their own: they arrive in order, need no extra
// module, and leave everything else the page logs alone.
class RufflePage : public QWebEnginePage
{
    Q_OBJECT

public:
    static const QString EventPrefix; // "qvplayer "

    explicit RufflePage(QWebEngineProfile *profile, QObject *parent = nullptr);

Q_SIGNALS:
    // kind: "frame" (value: frame number), "loaded", "error" (value: text);
    // "warm" with generation 0 when the runtime is ready for movies
    void eventReceived(int generation, const QString &kind, const QString &value);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;
};
