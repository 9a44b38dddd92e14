#include "shell/message_boxes_win.h"

int ShowMessageBox(HWND hOwner, MessageBoxId id)
{
    if (id == MessageBoxId::None) return 0;
    const MessageBoxText& box = MessageBoxTextOf(id);
    UINT icon = 0;
    switch (box.icon) {
    case BoxIcon::Information: icon = MB_ICONINFORMATION; break;
    case BoxIcon::Exclamation: icon = MB_ICONEXCLAMATION; break;
    case BoxIcon::Error: icon = MB_ICONERROR; break;
    case BoxIcon::None: break;
    }
    return MessageBoxA(hOwner, box.pszText, box.pszCaption, (box.bQuestion ? MB_YESNO : MB_OK) | icon);
}
