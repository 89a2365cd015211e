#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CaughtBox
{
    std::string strCaption;
    std::string strText;
    UINT nIcon;    // MB_ICONERROR, MB_ICONEXCLAMATION, ... or 0, read from the box
    UINT nButtons; // MB_OK, MB_OKCANCEL, ... as far as the buttons show it
};

// While it lives, every message box this thread shows is read (caption,
// exact text, icon and buttons) and closed with its real button, from a thread timer that runs
// inside the box's own modal loop.
class CMessageBoxCatcher
{
public:
    explicit CMessageBoxCatcher(int nButtonId = IDOK);
    CMessageBoxCatcher(const CMessageBoxCatcher&) = delete;
    CMessageBoxCatcher& operator=(const CMessageBoxCatcher&) = delete;
    ~CMessageBoxCatcher();

    const std::vector<CaughtBox>& Boxes() const { return m_boxes; }

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    int m_nButtonId;
    UINT_PTR m_nTimer;
    std::vector<CaughtBox> m_boxes;
    std::vector<HWND> m_handled;
};
