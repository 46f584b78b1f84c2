#pragma once

#include <QComboBox>
#include <functional>

// The custom-folder box: its list may be refused before it drops down.
class FolderBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    // Asked each time the list is about to drop down; false keeps it closed.
    void setDropDownCheck(std::function<bool()> check) { m_check = std::move(check); }
    void showPopup() override;

private:
    std::function<bool()> m_check;
};
