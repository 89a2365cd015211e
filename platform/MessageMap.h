#pragma once

#include <windows.h>

class CWnd;
class CDC;
struct CPoint;

// A message map is a small table per class: message, notification code,
// control id, the handler's signature and the handler. Each table ends with
// an empty row and names the base class's table, which is searched next.

typedef void (CWnd::*AFX_PMSG)();

enum AfxSig
{
    AfxSig_end = 0,
    AfxSig_v_v,     // void ()
    AfxSig_v_u_l,   // void (UINT, LPARAM): WM_SYSCOMMAND
    AfxSig_h_v,     // HCURSOR (): WM_QUERYDRAGICON
    AfxSig_br_dc_u, // HBRUSH (CDC*, UINT): a colour request
    AfxSig_b_w_u_u, // BOOL (CWnd*, UINT, UINT): WM_SETCURSOR
    AfxSig_v_u_pt,  // void (UINT, CPoint): mouse messages
    AfxSig_v_up,    // void (UINT_PTR): WM_TIMER
    AfxSig_b_dc,    // BOOL (CDC*): WM_ERASEBKGND
    AfxSig_u_msg,   // UINT (const MSG*): WM_GETDLGCODE, with the message asked about (or NULL)
    AfxSig_v_u_u_u, // void (UINT, UINT, UINT): key messages
    AfxSig_l_w_l,   // LRESULT (WPARAM, LPARAM): a message without a decoder of its own
};

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;
    UINT nCode;
    UINT nID;
    int nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// A notification a control sends to its parent comes back to the control
// itself under this base plus the original message number.
const UINT WM_REFLECT_BASE = 0xBC00;

// The macros keep their table layout.
// clang-format off
#define DECLARE_MESSAGE_MAP()                      \
protected:                                         \
    static const AFX_MSGMAP* GetThisMessageMap();  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                              \
    {                                                                            \
        using ThisClass [[maybe_unused]] = theClass;                             \
        using TheBaseClass = baseClass;                                          \
        static const AFX_MSGMAP_ENTRY s_entries[] = {

#define END_MESSAGE_MAP()                                                 \
        {0, 0, 0, AfxSig_end, nullptr}};                                  \
        static const AFX_MSGMAP s_map = {&TheBaseClass::GetThisMessageMap, s_entries}; \
        return &s_map;                                                    \
    }

// Handlers are stored as a generic member pointer and cast back to their own
// signature, chosen by the entry's AfxSig, before they are called.
#define AFX_HANDLER(signature, member) \
    static_cast<AFX_PMSG>(reinterpret_cast<void (ThisClass::*)()>(static_cast<signature>(&ThisClass::member)))

#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, AfxSig_v_u_l, AFX_HANDLER(void (ThisClass::*)(UINT, LPARAM), OnSysCommand)},
#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, AfxSig_v_v, AFX_HANDLER(void (ThisClass::*)(), OnPaint)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, AfxSig_h_v, AFX_HANDLER(HCURSOR (ThisClass::*)(), OnQueryDragIcon)},
#define ON_WM_SETCURSOR() \
    {WM_SETCURSOR, 0, 0, AfxSig_b_w_u_u, AFX_HANDLER(BOOL (ThisClass::*)(CWnd*, UINT, UINT), OnSetCursor)},
#define ON_WM_MOUSEMOVE() \
    {WM_MOUSEMOVE, 0, 0, AfxSig_v_u_pt, AFX_HANDLER(void (ThisClass::*)(UINT, CPoint), OnMouseMove)},
#define ON_WM_TIMER() \
    {WM_TIMER, 0, 0, AfxSig_v_up, AFX_HANDLER(void (ThisClass::*)(UINT_PTR), OnTimer)},
#define ON_WM_ERASEBKGND() \
    {WM_ERASEBKGND, 0, 0, AfxSig_b_dc, AFX_HANDLER(BOOL (ThisClass::*)(CDC*), OnEraseBkgnd)},
#define ON_WM_GETDLGCODE() \
    {WM_GETDLGCODE, 0, 0, AfxSig_u_msg, AFX_HANDLER(UINT (ThisClass::*)(const MSG*), OnGetDlgCode)},
#define ON_WM_KEYDOWN() \
    {WM_KEYDOWN, 0, 0, AfxSig_v_u_u_u, AFX_HANDLER(void (ThisClass::*)(UINT, UINT, UINT), OnKeyDown)},
#define ON_MESSAGE(message, memberFxn) \
    {message, 0, 0, AfxSig_l_w_l, AFX_HANDLER(LRESULT (ThisClass::*)(WPARAM, LPARAM), memberFxn)},
// A message whose arguments the handler does not need (Default() still has them).
#define ON_MESSAGE_VOID(message, memberFxn) \
    {message, 0, 0, AfxSig_v_v, AFX_HANDLER(void (ThisClass::*)(), memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) \
    {WM_COMMAND, BN_CLICKED, static_cast<UINT>(id), AfxSig_v_v, AFX_HANDLER(void (ThisClass::*)(), memberFxn)},
// Reflected: the control's own colour request and notifications.
#define ON_WM_CTLCOLOR_REFLECT() \
    {WM_REFLECT_BASE + WM_CTLCOLORSTATIC, 0, 0, AfxSig_br_dc_u, AFX_HANDLER(HBRUSH (ThisClass::*)(CDC*, UINT), CtlColor)},
#define ON_CONTROL_REFLECT(code, memberFxn) \
    {WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(code), 0, AfxSig_v_v, AFX_HANDLER(void (ThisClass::*)(), memberFxn)},
// clang-format on
