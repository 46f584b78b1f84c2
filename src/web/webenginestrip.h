#pragma once

#include "webapi/infostrip.h"

class QWebEngineView;

// The information strip as a web engine view.
class WebEngineStrip : public InfoStrip
{
public:
    WebEngineStrip();
    ~WebEngineStrip() override;

    void navigate(const QString &urlOrFile) override;
    void setSilent(bool silent) override;
    QWidget *widget() override;
    void setErrorHandler(ErrorHandler handler) override { m_onError = std::move(handler); }

private:
    QWebEngineView *m_view;
    QString m_current;
    ErrorHandler m_onError;
};
