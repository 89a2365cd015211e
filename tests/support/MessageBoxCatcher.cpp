#include "MessageBoxCatcher.h"

#include "UiScript.h"

#include <algorithm>

namespace
{
CMessageBoxCatcher* g_pActiveCatcher = nullptr;
}

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
    m_boxes.push_back({WindowText(hBox), MessageBoxText(hBox)});
    int nButton = ::GetDlgItem(hBox, m_nButtonId) ? m_nButtonId : IDOK;
    ClickButton(hBox, nButton);
}
