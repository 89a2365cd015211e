#include "MessageBoxCatcher.h"

#include "UiScript.h"
#include "WindowLookup.h"

#include <algorithm>

namespace
{
CMessageBoxCatcher* g_pActiveCatcher = nullptr;
const int kIconControlId = 0x0440;

// The icon a box shows, told apart by the system's shared icon handles.
UINT IconOf(HWND hBox)
{
    HWND hIcon = ::GetDlgItem(hBox, kIconControlId);
    if (!hIcon || !::IsWindowVisible(hIcon))
        return 0;
    HICON hShown = reinterpret_cast<HICON>(::SendMessageA(hIcon, STM_GETICON, 0, 0));
    if (!hShown)
        return 0;
    const struct
    {
        LPCSTR lpszIcon;
        UINT nStyle;
    } kIcons[] = {{IDI_HAND, MB_ICONERROR},
                  {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                  {IDI_ASTERISK, MB_ICONINFORMATION},
                  {IDI_QUESTION, MB_ICONQUESTION}};
    for (const auto& icon : kIcons)
        if (::LoadIconA(nullptr, icon.lpszIcon) == hShown)
            return icon.nStyle;
    return 0xFFFF; // an icon, but not one of the system's
}

UINT ButtonsOf(HWND hBox)
{
    auto has = [hBox](int nId) { return ::GetDlgItem(hBox, nId) != nullptr; };
    if (has(IDYES))
        return has(IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
    if (has(IDRETRY))
        return has(IDABORT) ? MB_ABORTRETRYIGNORE : MB_RETRYCANCEL;
    return has(IDCANCEL) ? MB_OKCANCEL : MB_OK;
}
} // namespace

CMessageBoxCatcher::CMessageBoxCatcher(int nButtonId) : m_nButtonId(nButtonId)
{
    g_pActiveCatcher = this;
    m_nTimer = ::SetTimer(nullptr, 0, 10, &CMessageBoxCatcher::OnTick);
}

CMessageBoxCatcher::~CMessageBoxCatcher()
{
    ::KillTimer(nullptr, m_nTimer);
    if (g_pActiveCatcher == this)
        g_pActiveCatcher = nullptr;
}

void CALLBACK CMessageBoxCatcher::OnTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_pActiveCatcher)
        g_pActiveCatcher->Tick();
}

void CMessageBoxCatcher::Tick()
{
    m_handled.erase(std::remove_if(m_handled.begin(), m_handled.end(), [](HWND h) { return !::IsWindow(h); }),
                    m_handled.end());
    HWND hBox = FindMessageBox();
    if (!hBox || std::find(m_handled.begin(), m_handled.end(), hBox) != m_handled.end())
        return;
    m_handled.push_back(hBox);
    m_boxes.push_back({WindowText(hBox), MessageBoxText(hBox), IconOf(hBox), ButtonsOf(hBox)});
    int nButton = ::GetDlgItem(hBox, m_nButtonId) ? m_nButtonId : IDOK;
    ClickButton(hBox, nButton);
}
