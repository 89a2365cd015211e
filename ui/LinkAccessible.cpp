#include "ui/LinkAccessible.h"

#include "ui/UrlLabel.h"

#include "platform/Mbcs.h"

#include <new>

namespace
{
// The word the system's own link control offers for its action.
const WCHAR kJump[] = L"Jump";
// States of the control underneath that still hold for the link.
const LONG kKeptStates = STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_UNAVAILABLE;

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

HRESULT ReturnText(LPCWSTR pszText, BSTR* pText)
{
    if (!pText)
        return E_POINTER;
    *pText = ::SysAllocString(pszText);
    return *pText ? S_OK : E_OUTOFMEMORY;
}

CUrlLabel* LabelOf(HWND hWnd)
{
    return dynamic_cast<CUrlLabel*>(CWnd::FromHandlePermanent(hWnd));
}
} // namespace

CLinkAccessible* CLinkAccessible::Create(HWND hWnd)
{
    IAccessible* pStandard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(hWnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&pStandard))))
        return nullptr;
    // No exceptions in this program: a failed allocation is a NULL object.
    CLinkAccessible* pObject = new (std::nothrow) CLinkAccessible(hWnd, pStandard);
    if (!pObject)
        pStandard->Release();
    return pObject;
}

CLinkAccessible::~CLinkAccessible()
{
    m_pStandard->Release();
}

IAccessible* CLinkAccessible::Standard() const
{
    return ::IsWindow(m_hWnd) ? m_pStandard : nullptr;
}

HRESULT CLinkAccessible::CheckSelf(const VARIANT& child) const
{
    if (!Standard() || !LabelOf(m_hWnd))
        return RPC_E_DISCONNECTED;
    return IsSelf(child) ? S_OK : E_INVALIDARG;
}

STDMETHODIMP CLinkAccessible::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch && riid != IID_IAccessible)
        return E_NOINTERFACE;
    *ppv = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CLinkAccessible::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) CLinkAccessible::Release()
{
    LONG nRefs = ::InterlockedDecrement(&m_nRefs);
    if (nRefs == 0)
        delete this;
    return static_cast<ULONG>(nRefs);
}

STDMETHODIMP CLinkAccessible::get_accRole(VARIANT child, VARIANT* pRole)
{
    HRESULT hr = CheckSelf(child);
    if (FAILED(hr) || !pRole)
        return pRole ? hr : E_POINTER;
    pRole->vt = VT_I4;
    pRole->lVal = ROLE_SYSTEM_LINK;
    return S_OK;
}

STDMETHODIMP CLinkAccessible::get_accState(VARIANT child, VARIANT* pState)
{
    HRESULT hr = CheckSelf(child);
    if (FAILED(hr) || !pState)
        return pState ? hr : E_POINTER;
    VARIANT standard;
    ::VariantInit(&standard);
    LONG nState = SUCCEEDED(m_pStandard->get_accState(child, &standard)) && standard.vt == VT_I4
                      ? standard.lVal & kKeptStates
                      : 0;
    nState |= STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;
    if (::GetFocus() == m_hWnd)
        nState |= STATE_SYSTEM_FOCUSED;
    if (LabelOf(m_hWnd)->IsVisited())
        nState |= STATE_SYSTEM_TRAVERSED;
    pState->vt = VT_I4;
    pState->lVal = nState;
    return S_OK;
}

STDMETHODIMP CLinkAccessible::get_accValue(VARIANT child, BSTR* pValue)
{
    HRESULT hr = CheckSelf(child);
    return FAILED(hr) ? hr : ReturnText(WideFromBytes(LabelOf(m_hWnd)->GetUrl(), -1, CP_ACP).c_str(), pValue);
}

STDMETHODIMP CLinkAccessible::get_accDefaultAction(VARIANT child, BSTR* pAction)
{
    HRESULT hr = CheckSelf(child);
    return FAILED(hr) ? hr : ReturnText(kJump, pAction);
}

STDMETHODIMP CLinkAccessible::accDoDefaultAction(VARIANT child)
{
    HRESULT hr = CheckSelf(child);
    if (FAILED(hr))
        return hr;
    // Posted as the static's own click: the screen reader's call returns at
    // once, and a failure's message box runs in our loop, not inside it.
    ::PostMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(m_hWnd), STN_CLICKED),
                   reinterpret_cast<LPARAM>(m_hWnd));
    return S_OK;
}

// The rest is the standard object's, while the window lives.
STDMETHODIMP CLinkAccessible::GetTypeInfoCount(UINT* pnInfo)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->GetTypeInfoCount(pnInfo) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::GetTypeInfo(UINT nInfo, LCID lcid, ITypeInfo** ppInfo)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->GetTypeInfo(nInfo, lcid, ppInfo) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::GetIDsOfNames(REFIID riid, LPOLESTR* pNames, UINT nNames, LCID lcid, DISPID* pIds)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->GetIDsOfNames(riid, pNames, nNames, lcid, pIds) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::Invoke(DISPID id, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pParams,
                                     VARIANT* pResult, EXCEPINFO* pException, UINT* pnArgError)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->Invoke(id, riid, lcid, wFlags, pParams, pResult, pException, pnArgError)
                     : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::get_accParent(IDispatch** ppParent)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->get_accParent(ppParent) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::get_accChildCount(long* pnCount)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->get_accChildCount(pnCount) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::get_accChild(VARIANT child, IDispatch** ppChild)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->get_accChild(child, ppChild) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::get_accName(VARIANT child, BSTR* pName)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->get_accName(child, pName) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::get_accDescription(VARIANT child, BSTR* pDescription)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->get_accDescription(child, pDescription) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::get_accHelp(VARIANT child, BSTR* pHelp)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->get_accHelp(child, pHelp) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::get_accHelpTopic(BSTR* pHelpFile, VARIANT child, long* pnTopic)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->get_accHelpTopic(pHelpFile, child, pnTopic) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* pShortcut)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->get_accKeyboardShortcut(child, pShortcut) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::get_accFocus(VARIANT* pChild)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->get_accFocus(pChild) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::get_accSelection(VARIANT* pChildren)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->get_accSelection(pChildren) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::accSelect(long nFlags, VARIANT child)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->accSelect(nFlags, child) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::accLocation(long* pnLeft, long* pnTop, long* pnWidth, long* pnHeight, VARIANT child)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->accLocation(pnLeft, pnTop, pnWidth, pnHeight, child) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::accNavigate(long nDirection, VARIANT start, VARIANT* pEnd)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->accNavigate(nDirection, start, pEnd) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::accHitTest(long x, long y, VARIANT* pChild)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->accHitTest(x, y, pChild) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::put_accName(VARIANT child, BSTR name)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->put_accName(child, name) : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLinkAccessible::put_accValue(VARIANT child, BSTR value)
{
    IAccessible* pStandard = Standard();
    return pStandard ? pStandard->put_accValue(child, value) : RPC_E_DISCONNECTED;
}
