#include "gui/webhost/webviewslot.h"

#include "gui/window/firstpaint.h"

WebViewSlot::WebViewSlot(const QColor &colour, QWidget *parent) : QWidget(parent)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
    setAutoFillBackground(true);
    afterFirstPaint(this, [this] { Q_EMIT painted(); });
}

WebViewSlot::~WebViewSlot()
{
    if (m_view)
        m_view->setParent(nullptr);
}

void WebViewSlot::setView(QWidget *view)
{
    m_view = view;
    view->setParent(this);
    view->setGeometry(rect());
    view->show();
}

void WebViewSlot::resizeEvent(QResizeEvent *)
{
    if (m_view)
        m_view->setGeometry(rect());
}
