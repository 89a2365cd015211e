#pragma once

#include <windows.h>
#include <oleacc.h>

// What a screen reader is told about a link label: everything the system
// says of the static control underneath, but for the role "link", the
// state, the URL as its value and the action "Jump", which clicks it. It
// keeps only the window handle (and the system's object for it), so that
// it answers nothing once the window is gone.
class CLinkAccessible final : public IAccessible
{
public:
    // The object for the label's client area, for WM_GETOBJECT; NULL when
    // the system gives no standard object to build on.
    static CLinkAccessible* Create(HWND hWnd);

    CLinkAccessible(const CLinkAccessible&) = delete;
    CLinkAccessible& operator=(const CLinkAccessible&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: as the standard object answers.
    STDMETHODIMP GetTypeInfoCount(UINT* pnInfo) override;
    STDMETHODIMP GetTypeInfo(UINT nInfo, LCID lcid, ITypeInfo** ppInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* pNames, UINT nNames, LCID lcid, DISPID* pIds) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult,
                        EXCEPINFO* pException, UINT* pnArgError) override;

    // IAccessible: ours for the link itself, the standard object's for the rest.
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* pRole) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* pState) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* pValue) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* pAction) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;

    STDMETHODIMP get_accParent(IDispatch** ppParent) override;
    STDMETHODIMP get_accChildCount(long* pnCount) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** ppChild) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* pName) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* pDescription) override;
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* pHelp) override;
    STDMETHODIMP get_accHelpTopic(BSTR* pHelpFile, VARIANT child, long* pnTopic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* pShortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* pChild) override;
    STDMETHODIMP get_accSelection(VARIANT* pChildren) override;
    STDMETHODIMP accSelect(long nFlags, VARIANT child) override;
    STDMETHODIMP accLocation(long* pnLeft, long* pnTop, long* pnWidth, long* pnHeight, VARIANT child) override;
    STDMETHODIMP accNavigate(long nDirection, VARIANT start, VARIANT* pEnd) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* pChild) override;
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override;
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override;

private:
    CLinkAccessible(HWND hWnd, IAccessible* pStandard) : m_hWnd(hWnd), m_pStandard(pStandard) {}
    ~CLinkAccessible();

    // The standard object while the window lives, else NULL.
    IAccessible* Standard() const;
    // S_OK for the link itself while its window lives; the failure to return otherwise.
    HRESULT CheckSelf(const VARIANT& child) const;

    LONG m_nRefs = 1;
    HWND m_hWnd;
    IAccessible* m_pStandard;
};
