#include "gui/window/firstpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class FirstPaintWatch : public QObject
{
public:
    FirstPaintWatch(QWidget *widget, std::function<void()> then)
        : QObject(widget), m_then(std::move(then))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // A zero timer runs after this paint has been flushed.
            QTimer::singleShot(0, watched, std::move(m_then));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_then;
};

} // namespace

void afterFirstPaint(QWidget *widget, std::function<void()> then)
{
    new FirstPaintWatch(widget, std::move(then));
}
