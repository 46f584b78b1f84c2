#pragma once

#include "web/webparts.h"

class QWebEngineView;

// The information strip: a web view that shows one small page.
class WebInfoBrowser : public WebStrip
{
public:
    explicit WebInfoBrowser(NavigateErrorHandler onError);
    ~WebInfoBrowser() override;

    void navigate(const QString &urlOrFile) override;
    void setSilent(bool silent) override;
    QWidget *widget() override;

private:
    QWebEngineView *m_view;
    QString m_current;
};
