#include "platform/WinApp.h"

#include "platform/AnsiPath.h"
#include "platform/HeapBuffer.h"
#include "platform/Wnd.h"

namespace
{
CWinApp* g_pApp = nullptr;

CString ProgramTitle()
{
    // The name alone, from the whole wide path: the folders may be long or
    // have no ANSI form, while our own file name has one.
    CHeapBuffer path((kMaxWidePath + 1) * sizeof(WCHAR));
    LPWSTR pszPath = reinterpret_cast<LPWSTR>(path.Get());
    if (!pszPath || !ProgramWidePath(pszPath, kMaxWidePath + 1))
        return CString();
    LPCWSTR pszName = pszPath;
    for (LPCWSTR psz = pszPath; *psz; ++psz)
        if (*psz == L'\\')
            pszName = psz + 1;
    char szName[3 * MAX_PATH] = "";
    ::WideCharToMultiByte(CP_ACP, 0, pszName, -1, szName, sizeof(szName), nullptr, nullptr);
    CString strTitle = szName;
    int nDot = strTitle.ReverseFind('.');
    return nDot >= 0 ? strTitle.Left(nDot) : strTitle;
}
} // namespace

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    g_pApp = this;
    m_strTitle = lpszAppName ? CString(lpszAppName) : ProgramTitle();
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        if (!CWnd::WalkPreTranslateTree(&msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return 0;
}

BOOL CWinApp::Enable3dControls()
{
    return TRUE;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

LPCSTR AfxGetAppName()
{
    if (g_pApp)
        return g_pApp->m_strTitle;
    static const CString s_strTitle = ProgramTitle();
    return s_strTitle;
}

LPSTR AfxSkipProgramName(LPSTR lpsz)
{
    auto isBlank = [](char ch) { return ch >= 0x01 && ch <= 0x20; };
    if (*lpsz == '"')
    {
        ++lpsz;
        while (*lpsz && *lpsz != '"')
            ++lpsz;
        if (*lpsz == '"')
            ++lpsz;
    }
    else
    {
        while (*lpsz && !isBlank(*lpsz))
            ++lpsz;
    }
    while (isBlank(*lpsz))
        ++lpsz;
    return lpsz;
}

int AfxWinMain(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = AfxSkipProgramName(::GetCommandLineA());
    if (!pApp->InitInstance())
        return pApp->ExitInstance();
    return pApp->Run();
}
