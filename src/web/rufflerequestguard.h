#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Keeps the player page off the network: only the program's own scheme and
// in-memory URLs are loaded. A movie asking for a web address gets nothing.
class RuffleRequestGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
};
