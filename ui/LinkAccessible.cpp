#include "ui/LinkAccessible.h"

#include "ui/UrlLabel.h"

#include "platform/Mbcs.h"

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
    return new CLinkAccessible(hWnd, pStandard);
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
#define VELLOMAR_FORWARD(call)                                                                                         \
    {                                                                                                                  \
        IAccessible* pStandard = Standard();                                                                           \
        return pStandard ? pStandard->call : RPC_E_DISCONNECTED;                                                       \
    }

STDMETHODIMP CLinkAccessible::GetTypeInfoCount(UINT* pnInfo) VELLOMAR_FORWARD(GetTypeInfoCount(pnInfo))
STDMETHODIMP CLinkAccessible::GetTypeInfo(UINT nInfo, LCID lcid, ITypeInfo** ppInfo)
    VELLOMAR_FORWARD(GetTypeInfo(nInfo, lcid, ppInfo))
STDMETHODIMP CLinkAccessible::GetIDsOfNames(REFIID riid, LPOLESTR* pNames, UINT nNames, LCID lcid, DISPID* pIds)
    VELLOMAR_FORWARD(GetIDsOfNames(riid, pNames, nNames, lcid, pIds))
STDMETHODIMP CLinkAccessible::Invoke(DISPID id, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pParams,
                                     VARIANT* pResult, EXCEPINFO* pException, UINT* pnArgError)
    VELLOMAR_FORWARD(Invoke(id, riid, lcid, wFlags, pParams, pResult, pException, pnArgError))
STDMETHODIMP CLinkAccessible::get_accParent(IDispatch** ppParent) VELLOMAR_FORWARD(get_accParent(ppParent))
STDMETHODIMP CLinkAccessible::get_accChildCount(long* pnCount) VELLOMAR_FORWARD(get_accChildCount(pnCount))
STDMETHODIMP CLinkAccessible::get_accChild(VARIANT child, IDispatch** ppChild)
    VELLOMAR_FORWARD(get_accChild(child, ppChild))
STDMETHODIMP CLinkAccessible::get_accName(VARIANT child, BSTR* pName) VELLOMAR_FORWARD(get_accName(child, pName))
STDMETHODIMP CLinkAccessible::get_accDescription(VARIANT child, BSTR* pDescription)
    VELLOMAR_FORWARD(get_accDescription(child, pDescription))
STDMETHODIMP CLinkAccessible::get_accHelp(VARIANT child, BSTR* pHelp) VELLOMAR_FORWARD(get_accHelp(child, pHelp))
STDMETHODIMP CLinkAccessible::get_accHelpTopic(BSTR* pHelpFile, VARIANT child, long* pnTopic)
    VELLOMAR_FORWARD(get_accHelpTopic(pHelpFile, child, pnTopic))
STDMETHODIMP CLinkAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* pShortcut)
    VELLOMAR_FORWARD(get_accKeyboardShortcut(child, pShortcut))
STDMETHODIMP CLinkAccessible::get_accFocus(VARIANT* pChild) VELLOMAR_FORWARD(get_accFocus(pChild))
STDMETHODIMP CLinkAccessible::get_accSelection(VARIANT* pChildren) VELLOMAR_FORWARD(get_accSelection(pChildren))
STDMETHODIMP CLinkAccessible::accSelect(long nFlags, VARIANT child) VELLOMAR_FORWARD(accSelect(nFlags, child))
STDMETHODIMP CLinkAccessible::accLocation(long* pnLeft, long* pnTop, long* pnWidth, long* pnHeight, VARIANT child)
    VELLOMAR_FORWARD(accLocation(pnLeft, pnTop, pnWidth, pnHeight, child))
STDMETHODIMP CLinkAccessible::accNavigate(long nDirection, VARIANT start, VARIANT* pEnd)
    VELLOMAR_FORWARD(accNavigate(nDirection, start, pEnd))
STDMETHODIMP CLinkAccessible::accHitTest(long x, long y, VARIANT* pChild) VELLOMAR_FORWARD(accHitTest(x, y, pChild))
STDMETHODIMP CLinkAccessible::put_accName(VARIANT child, BSTR name) VELLOMAR_FORWARD(put_accName(child, name))
STDMETHODIMP CLinkAccessible::put_accValue(VARIANT child, BSTR value) VELLOMAR_FORWARD(put_accValue(child, value))

#undef VELLOMAR_FORWARD
