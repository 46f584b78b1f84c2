#pragma once

#include "app/services.h"

class QWebEngineView;

// The information strip: a web view that shows one small page.
class WebInfoBrowser : public InfoBrowser
{
    Q_OBJECT
public:
    explicit WebInfoBrowser(QObject *parent = nullptr);
    ~WebInfoBrowser() override;

    void navigate(const QString &urlOrFile) override;
    void setSilent(bool silent) override;
    QWidget *widget() override;

private:
    QWebEngineView *m_view;
    QString m_current;
};
