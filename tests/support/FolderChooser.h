#pragma once

#include "res/resource.h"
#include "ui/SettingsDlg.h"
#include "support/ShellItem.h"
#include "support/UiScript.h"
#include "support/WindowLookup.h"

#include <commctrl.h>
#include <shlobj.h>

#include <functional>

// Steps that open the settings dialog's folder chooser from its browse
// button, select a shell item, press a button once the chooser shows the
// item selected (a fresh prefix fills its tree slowly, and a selection asked
// for before that is dropped), and wait for the chooser to close.
inline void AddFolderChoice(CUiScript& script, const HWND& hDialog, HWND* phChooser, const CShellItem& item,
                            int nButton)
{
    const CShellItem* pItem = &item;
    script
        .Then([&hDialog] {
            PostMessageA(GetDlgItem(hDialog, IDC_BROWSE), BM_CLICK, 0, 0);
            return true;
        })
        .Then([=] {
            // Found by what it holds: its caption is in the user's language.
            for (HWND hWnd : ThreadWindowsOfClass("#32770"))
                if (hWnd != hDialog && IsWindowVisible(hWnd) && FindWindowExA(hWnd, nullptr, "SysTreeView32", nullptr))
                    return (*phChooser = hWnd) != nullptr;
            return false;
        })
        .Then([=] {
            HWND hChooser = *phChooser;
            HWND hTree = FindWindowExA(hChooser, nullptr, "SysTreeView32", nullptr);
            if (!hTree || !IsWindowVisible(hChooser))
                return false;
            if (pItem->Path().empty())
                SendMessageW(hChooser, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(pItem->Pidl()));
            else
                SendMessageW(hChooser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(pItem->Path().c_str()));
            WCHAR szText[MAX_PATH] = L"";
            TVITEMW tvItem = {};
            tvItem.mask = TVIF_TEXT;
            tvItem.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
            tvItem.pszText = szText;
            tvItem.cchTextMax = MAX_PATH;
            if (!tvItem.hItem || !SendMessageW(hTree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvItem)) ||
                pItem->DisplayName() != szText)
                return false;
            ClickButton(hChooser, nButton);
            return true;
        })
        .Then([=] { return !IsWindow(*phChooser); });
}

// Runs a settings dialog of its own: chooses the item with OK, waits until
// done(dialog) holds (it may check the dialog then), and closes it with OK.
// FALSE when the script stopped short.
inline bool RunDialogWithChoice(const CShellItem& item, const std::function<bool(HWND)>& done)
{
    CSettingsDlg dlg(nullptr);
    CUiScript script;
    HWND hChooser = nullptr;
    script.Then([&] { return dlg.m_hWnd && IsWindowVisible(dlg.m_hWnd); });
    AddFolderChoice(script, dlg.m_hWnd, &hChooser, item, IDOK);
    script.Then([&] { return done(dlg.m_hWnd); }).Then([&] {
        ClickButton(dlg.m_hWnd, IDOK);
        return true;
    });
    script.Start();
    dlg.DoModal();
    return script.Finished();
}
