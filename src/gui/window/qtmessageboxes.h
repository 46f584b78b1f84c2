#pragma once

#include "gui/window/services.h"

class QWidget;

// Message boxes as the user sees them.
class QtMessageBoxes : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void show(const QString &text, const QString &title, Icon icon) override;
    bool confirm(const QString &text) override;
    bool offer(const QString &text, const QString &action) override;

private:
    QWidget *m_parent;
};
