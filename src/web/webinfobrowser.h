#pragma once

#include "web/webparts.h"

class QWebEngineProfile;
class QWebEngineView;

// The information strip: a web view that shows one small page.
class WebInfoBrowser : public WebStrip
{
public:
    // Pages are shown in `profile`, or in the default one.
    explicit WebInfoBrowser(NavigateErrorHandler onError, QWebEngineProfile *profile = nullptr);
    ~WebInfoBrowser() override;

    void navigate(const QString &urlOrFile) override;
    void setSilent(bool silent) override;
    QWidget *widget() override;

private:
    QWebEngineView *m_view;
    QString m_current;
};
