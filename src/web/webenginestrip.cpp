#include "web/webenginestrip.h"

#include <QFileInfo>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// A page that keeps its JavaScript dialogs to itself when asked to be silent.
class SilentPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;
    bool silent = false;

protected:
    void javaScriptAlert(const QUrl &origin, const QString &msg) override
    {
        if (!silent)
            QWebEnginePage::javaScriptAlert(origin, msg);
    }
    bool javaScriptConfirm(const QUrl &origin, const QString &msg) override
    {
        return silent ? false : QWebEnginePage::javaScriptConfirm(origin, msg);
    }
    bool javaScriptPrompt(const QUrl &origin, const QString &msg, const QString &def,
                          QString *result) override
    {
        return silent ? false : QWebEnginePage::javaScriptPrompt(origin, msg, def, result);
    }
};

} // namespace

WebEngineStrip::WebEngineStrip() : m_view(new QWebEngineView)
{
    m_view->setPage(new SilentPage(m_view));
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_view->page()->setBackgroundColor(QColor(192, 255, 192));
    QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [this](bool ok) {
        if (!ok && m_onError)
            m_onError(m_current);
    });
}

WebEngineStrip::~WebEngineStrip()
{
    delete m_view;
}

void WebEngineStrip::navigate(const QString &urlOrFile)
{
    m_current = urlOrFile;
    const QUrl url =
        QFileInfo(urlOrFile).isAbsolute() ? QUrl::fromLocalFile(urlOrFile) : QUrl(urlOrFile);
    m_view->load(url);
}

void WebEngineStrip::setSilent(bool silent)
{
    static_cast<SilentPage *>(m_view->page())->silent = silent;
}

QWidget *WebEngineStrip::widget()
{
    return m_view;
}
