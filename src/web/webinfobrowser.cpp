#include "web/webinfobrowser.h"

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

WebInfoBrowser::WebInfoBrowser(NavigateErrorHandler onError) : m_view(new QWebEngineView)
{
    m_view->setPage(new SilentPage(m_view));
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_view->page()->setBackgroundColor(QColor(192, 255, 192));
    QObject::connect(m_view, &QWebEngineView::loadFinished, m_view,
                     [this, onError = std::move(onError)](bool ok) {
                         if (!ok && onError)
                             onError(m_current);
                     });
}

WebInfoBrowser::~WebInfoBrowser()
{
    delete m_view;
}

void WebInfoBrowser::navigate(const QString &urlOrFile)
{
    m_current = urlOrFile;
    const QUrl url =
        QFileInfo(urlOrFile).isAbsolute() ? QUrl::fromLocalFile(urlOrFile) : QUrl(urlOrFile);
    m_view->load(url);
}

void WebInfoBrowser::setSilent(bool silent)
{
    static_cast<SilentPage *>(m_view->page())->silent = silent;
}

QWidget *WebInfoBrowser::widget()
{
    return m_view;
}
