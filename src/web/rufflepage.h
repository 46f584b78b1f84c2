#pragma once

#include <QJsonObject>
#include <QStringList>
#include <QWebEnginePage>

// The player's web page. Its script reports to the program through console
// messages with a prefix of their own: they arrive in order, need no extra
// module, and leave everything else the page logs alone. Scripts run before
// the page has loaded wait for it.
class RufflePage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit RufflePage(QWebEngineProfile *profile, QObject *parent = nullptr);

    // Loads the page afresh; scripts wait again until it has loaded.
    void open();
    bool isReady() const { return m_ready; }
    void run(const QString &script);

Q_SIGNALS:
    // The page has loaded; scripts that waited run right after this.
    void ready();
    // One event of the page: {"generation": n, "kind": "frame", ...}; see
    // the page's script for the kinds and their fields.
    void eventReceived(const QJsonObject &event);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;

private:
    void onLoaded(bool ok);

    bool m_ready = false;
    QStringList m_waiting;
};
