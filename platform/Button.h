#pragma once

#include "platform/Wnd.h"

// A push button of a dialog.
class CButton : public CWnd
{
public:
    // Returns the previous image; the button does not own either icon.
    HICON SetIcon(HICON hIcon)
    {
        return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hIcon)));
    }
};
