#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

// Where a web view goes before the web engine has started. Starting the
// engine blocks for most of a second, so the window shows first with this
// area painted in the view's own background colour; once it has been painted
// on screen, `painted` asks for the view, which then fills the area.
class WebViewSlot : public QWidget
{
    Q_OBJECT
public:
    explicit WebViewSlot(const QColor &colour, QWidget *parent = nullptr);
    // The view belongs to whoever made it: it is taken out, not deleted.
    ~WebViewSlot() override;

    // Shows the view over the whole area from now on.
    void setView(QWidget *view);

Q_SIGNALS:
    // Once, from the event loop after the area's first paint.
    void painted();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPointer<QWidget> m_view;
};
