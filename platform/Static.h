#pragma once

#include "platform/Wnd.h"

// A static text or picture control of a dialog.
class CStatic : public CWnd
{
};
