// access.cpp: the board's IAccessible object, its answer to WM_GETOBJECT and the name-change event. The
// accessibility and COM libraries are loaded from the system folder when a client first asks, so that a
// game that nobody reads starts without them.
#include "ui/access.h"

#include <windows.h>

#include <new>
#include <oleacc.h>

#include "setup/system_dll.h"
#include "ui/geometry.h"
#include "ui/texts.h"

namespace {

struct Library {
    decltype(&LresultFromObject) lresultFromObject;
    decltype(&AccessibleObjectFromWindow) objectFromWindow;
    decltype(&SysAllocString) allocString;
};
Library com;

bool loadLibraries()
{
    if (com.lresultFromObject != nullptr)
        return true;
    // The object is marshalled into the client's process: this thread, with its message loop, becomes a
    // single-threaded apartment, and the calls arrive through the loop as messages.
    const auto coInitialize = SYSTEM_FUNCTION("ole32.dll", CoInitialize);
    if (coInitialize == nullptr || FAILED(coInitialize(nullptr)))
        return false;
    com.objectFromWindow = SYSTEM_FUNCTION("oleacc.dll", AccessibleObjectFromWindow);
    com.allocString = SYSTEM_FUNCTION("oleaut32.dll", SysAllocString);
    if (com.objectFromWindow == nullptr || com.allocString == nullptr)
        return false;
    com.lresultFromObject = SYSTEM_FUNCTION("oleacc.dll", LresultFromObject);
    return com.lresultFromObject != nullptr;
}

// The child that a VARIANT names: 0 (CHILDID_SELF) the board, 1..9 a square, -1 none of them.
int childOf(const VARIANT &child)
{
    return child.vt == VT_I4 && child.lVal >= CHILDID_SELF && child.lVal <= 9 ? static_cast<int>(child.lVal) : -1;
}

HRESULT giveText(const wchar_t *text, BSTR *out)
{
    *out = com.allocString(text);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT giveNumber(LONG value, VARIANT *out)
{
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

HRESULT noText(BSTR *out)
{
    *out = nullptr;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT giveNothing(VARIANT *out)
{
    out->vt = VT_EMPTY;
    return S_FALSE;
}

HRESULT noNumber(VARIANT *out)
{
    out->vt = VT_EMPTY;
    return DISP_E_MEMBERNOTFOUND;
}

// Every call comes on the window's thread (the apartment's), so the counts need no locking.
struct BoardAccessible final : IAccessible {
    explicit BoardAccessible(HWND owner) : window(owner) {}

    LONG references = 1;   // the window's own, dropped when it is destroyed
    HWND window;           // null once the window is gone

    // Checks the object and the child; the child's number goes to n.
    HRESULT check(const VARIANT &child, int *n) const
    {
        *n = childOf(child);
        return window == nullptr ? RPC_E_DISCONNECTED : *n < 0 ? E_INVALIDARG : S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override
    {
        if (iid == IID_IUnknown || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = --references;
        if (left == 0)
            HeapFree(GetProcessHeap(), 0, this);   // nothing to destroy: the fields are plain values
        return static_cast<ULONG>(left);
    }

    // IDispatch is not offered: clients call the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override
    {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **out) override
    {
        *out = nullptr;
        return window == nullptr ? RPC_E_DISCONNECTED
                                 : com.objectFromWindow(window, OBJID_WINDOW, __uuidof(IDispatch),
                                                        reinterpret_cast<void **>(out));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        *count = 9;
        return window == nullptr ? RPC_E_DISCONNECTED : S_OK;
    }
    // The squares are simple elements, not objects of their own.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch **out) override
    {
        int n;
        *out = nullptr;
        const HRESULT result = check(child, &n);
        return FAILED(result) ? result : n == CHILDID_SELF ? E_INVALIDARG : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *out) override
    {
        int n;
        *out = nullptr;
        const HRESULT result = check(child, &n);
        if (FAILED(result))
            return result;
        wchar_t name[256];
        if (n == CHILDID_SELF)
            GetWindowTextW(window, name, 256);
        else
            composeSquareName(name, 256, n, game.board[n]);
        return giveText(name, out);
    }
    // No value, description or help: the name says it all.
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR *out) override { return noText(out); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR *out) override { return noText(out); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR *out) override { return noText(out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT, LONG *topic) override
    {
        *topic = 0;
        return noText(file);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *out) override
    {
        int n;
        out->vt = VT_EMPTY;
        const HRESULT result = check(child, &n);
        return FAILED(result) ? result : giveNumber(n == CHILDID_SELF ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_PUSHBUTTON, out);
    }
    // A square can be played while it is free, no move or ending is in progress and no box has
    // disabled the window; it is unavailable otherwise, as it is to a click.
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *out) override
    {
        int n;
        out->vt = VT_EMPTY;
        const HRESULT result = check(child, &n);
        if (FAILED(result))
            return result;
        if (n == CHILDID_SELF)
            return giveNumber(STATE_SYSTEM_FOCUSABLE, out);
        const bool playable = game.board[n] == Empty && !game.busy && IsWindowEnabled(window);
        return giveNumber(playable ? 0 : STATE_SYSTEM_UNAVAILABLE, out);
    }
    // The digit key that plays the square.
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *out) override
    {
        int n;
        *out = nullptr;
        const HRESULT result = check(child, &n);
        const wchar_t digit[2] = {static_cast<wchar_t>(L'0' + n), L'\0'};
        return FAILED(result) ? result : n == CHILDID_SELF ? DISP_E_MEMBERNOTFOUND : giveText(digit, out);
    }
    // Focus and selection are the window's, which its own object reports.
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *out) override { return noNumber(out); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *out) override { return noNumber(out); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *out) override
    {
        int n;
        *out = nullptr;
        const HRESULT result = check(child, &n);
        return FAILED(result) ? result : n == CHILDID_SELF ? DISP_E_MEMBERNOTFOUND : giveText(pickTextW(TextPlay), out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    // In screen coordinates, divided as the painting and the click divide the client area.
    HRESULT STDMETHODCALLTYPE accLocation(LONG *x, LONG *y, LONG *width, LONG *height, VARIANT child) override
    {
        int n;
        const HRESULT result = check(child, &n);
        if (FAILED(result))
            return result;
        RECT client;
        const POINT origin = clientArea(&client);
        const BoardRect r = n == CHILDID_SELF ? BoardRect{0, 0, client.right, client.bottom}
                                              : squareRect(client.right, client.bottom, n);
        *x = origin.x + r.left;
        *y = origin.y + r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT, VARIANT *out) override { return noNumber(out); }
    // The square under a screen point; the board itself where the area is too small to be divided.
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *out) override
    {
        out->vt = VT_EMPTY;
        if (window == nullptr)
            return RPC_E_DISCONNECTED;
        RECT client;
        const POINT origin = clientArea(&client);
        x -= origin.x;
        y -= origin.y;
        if (x < 0 || y < 0 || x >= client.right || y >= client.bottom)
            return giveNothing(out);
        return giveNumber(squareAt(client.right, client.bottom, static_cast<uint32_t>(x), static_cast<uint32_t>(y)), out);
    }
    // The move runs a nested loop for the computer's pause and the ending's box: it is posted, so that
    // the client's call returns at once, and taken like a click, refusals included.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        int n;
        const HRESULT result = check(child, &n);
        if (FAILED(result))
            return result;
        if (n == CHILDID_SELF)
            return DISP_E_MEMBERNOTFOUND;
        PostMessageA(window, PlaySquareMessage, static_cast<WPARAM>(n), 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    // The client area's size, and its top-left corner on the screen.
    POINT clientArea(RECT *client) const
    {
        GetClientRect(window, client);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        return origin;
    }
};

BoardAccessible *board;

}  // namespace

void announceSquare(HWND window, int square)
{
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, square);
}

intptr_t answerAccessibleObject(HWND window, uintptr_t wParam)
{
    if (!loadLibraries())
        return 0;
    if (board == nullptr) {
        void *memory = HeapAlloc(GetProcessHeap(), 0, sizeof(BoardAccessible));
        if (memory == nullptr)
            return 0;
        board = new (memory) BoardAccessible(window);
    }
    return com.lresultFromObject(__uuidof(IAccessible), wParam, board);
}

void disconnectAccessibleObject()
{
    if (board == nullptr)
        return;
    // Clients that still hold the object get RPC_E_DISCONNECTED from it until they let it go; the window
    // is destroyed only when the program ends, which ends their proxies too.
    board->window = nullptr;
    board->Release();
    board = nullptr;
}
