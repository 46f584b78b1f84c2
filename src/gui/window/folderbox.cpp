#include "gui/window/folderbox.h"

void FolderBox::showPopup()
{
    if (m_check && !m_check())
        return;
    QComboBox::showPopup();
}
