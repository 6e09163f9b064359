// access.cpp: the board's IAccessible object, its answer to WM_GETOBJECT, the live text with its
// annotation, the keyboard cursor and the events. The accessibility and COM libraries are loaded from
// the system folder when a client first asks, so that a game that nobody reads starts without them.
#include "ui/access.h"

#include <windows.h>

#include <new>
#include <oleacc.h>

#include "setup/system_dll.h"
#include "ui/geometry.h"
#include "ui/paint.h"
#include "ui/texts.h"

// The headers hide it below Windows 8, which introduced it; earlier systems pass it to hooks unread.
#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
#define EVENT_OBJECT_LIVEREGIONCHANGED 0x8019
#endif

namespace {

// Declared here: MinGW's import libraries define some of these ids as code, not data.
const GUID ClassAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
const GUID InterfaceAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
// UI Automation's LiveSetting property (UIA_LiveSettingPropertyId, 30135) and its value Polite.
const GUID LiveSettingProperty = {0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
const LONG LivePolite = 1;

wchar_t lastSaid[64];   // the live text's name: the last announcement, empty before the first

struct Library {
    decltype(&LresultFromObject) lresultFromObject;
    decltype(&AccessibleObjectFromWindow) objectFromWindow;
    decltype(&SysAllocString) allocString;
    decltype(&CoCreateInstance) createInstance;
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
    com.createInstance = SYSTEM_FUNCTION("ole32.dll", CoCreateInstance);
    if (com.objectFromWindow == nullptr || com.allocString == nullptr || com.createInstance == nullptr)
        return false;
    com.lresultFromObject = SYSTEM_FUNCTION("oleacc.dll", LresultFromObject);
    return com.lresultFromObject != nullptr;
}

// The child that a VARIANT names: 0 (CHILDID_SELF) the board, 1..9 a square, LiveText the live text,
// -1 none of them.
int childOf(const VARIANT &child)
{
    return child.vt == VT_I4 && child.lVal >= CHILDID_SELF && child.lVal <= LiveText ? static_cast<int>(child.lVal) : -1;
}

bool isSquare(int n)
{
    return n >= 1 && n <= 9;
}

// Narrator speaks a live region only when its LiveSetting says so; the window's object cannot answer
// UI Automation's question itself, so the setting is annotated on the live text. Where the system
// lacks the annotation (E_NOTIMPL) the text stays an ordinary one and everything else is unchanged.
void annotateLiveText(HWND window)
{
    IAccPropServices *services = nullptr;
    if (FAILED(com.createInstance(ClassAccPropServices, nullptr, CLSCTX_INPROC_SERVER, InterfaceAccPropServices,
                                  reinterpret_cast<void **>(&services))))
        return;
    VARIANT polite;
    polite.vt = VT_I4;
    polite.lVal = LivePolite;
    services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), LiveText, LiveSettingProperty, polite);
    services->Release();
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
        *count = LiveText;
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
        else if (n == LiveText)
            lstrcpynW(name, lastSaid, 256);
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
        return FAILED(result) ? result : giveNumber(n == CHILDID_SELF ? ROLE_SYSTEM_CLIENT
                                                      : n == LiveText ? ROLE_SYSTEM_STATICTEXT
                                                                      : ROLE_SYSTEM_PUSHBUTTON,
                                                      out);
    }
    // A square can be played while it is free, no move or ending is in progress and no box has
    // disabled the window; it is unavailable otherwise, as it is to a click. Every square takes the
    // cursor; the one under it has the focus while the window has. The live text only reads.
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *out) override
    {
        int n;
        out->vt = VT_EMPTY;
        const HRESULT result = check(child, &n);
        if (FAILED(result))
            return result;
        const bool focused = GetFocus() == window;
        if (n == CHILDID_SELF)
            return giveNumber(STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0), out);
        if (n == LiveText)
            return giveNumber(STATE_SYSTEM_READONLY, out);
        const bool playable = game.board[n] == Empty && !game.busy && IsWindowEnabled(window);
        return giveNumber(STATE_SYSTEM_FOCUSABLE | (focused && n == game.cursor ? STATE_SYSTEM_FOCUSED : 0) |
                              (playable ? 0 : STATE_SYSTEM_UNAVAILABLE),
                          out);
    }
    // The digit key that plays the square.
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *out) override
    {
        int n;
        *out = nullptr;
        const HRESULT result = check(child, &n);
        const wchar_t digit[2] = {static_cast<wchar_t>(L'0' + n), L'\0'};
        return FAILED(result) ? result : !isSquare(n) ? DISP_E_MEMBERNOTFOUND : giveText(digit, out);
    }
    // While the window has the keyboard focus, the square under the cursor has it. Nothing is selected.
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *out) override
    {
        out->vt = VT_EMPTY;
        if (window == nullptr)
            return RPC_E_DISCONNECTED;
        return GetFocus() == window ? giveNumber(game.cursor, out) : giveNothing(out);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *out) override { return noNumber(out); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *out) override
    {
        int n;
        *out = nullptr;
        const HRESULT result = check(child, &n);
        return FAILED(result) ? result : !isSquare(n) ? DISP_E_MEMBERNOTFOUND : giveText(pickTextW(TextPlay), out);
    }
    // Taking the focus moves the cursor onto the square. The squares are never selected: a selection
    // flag, alone or beside the focus (a client's "click"), is an argument that makes no sense for them,
    // not a method the board lacks.
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override
    {
        int n;
        const HRESULT result = check(child, &n);
        if (FAILED(result))
            return result;
        if (flags != SELFLAG_TAKEFOCUS || !isSquare(n))
            return E_INVALIDARG;
        moveCursor(window, n);
        return S_OK;
    }
    // In screen coordinates, divided as the painting and the click divide the client area; the live
    // text speaks of the whole board.
    HRESULT STDMETHODCALLTYPE accLocation(LONG *x, LONG *y, LONG *width, LONG *height, VARIANT child) override
    {
        int n;
        const HRESULT result = check(child, &n);
        if (FAILED(result))
            return result;
        RECT client;
        const POINT origin = clientArea(&client);
        const BoardRect r = isSquare(n) ? squareRect(client.right, client.bottom, n)
                                        : BoardRect{0, 0, client.right, client.bottom};
        *x = origin.x + r.left;
        *y = origin.y + r.top;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    // The squares on the grid and in reading order, the live text after them (a reader walking the board
    // hears the last announcement again there); past an edge nothing.
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *out) override
    {
        int n;
        out->vt = VT_EMPTY;
        const HRESULT result = check(start, &n);
        if (FAILED(result))
            return result;
        if (direction < NAVDIR_UP || direction > NAVDIR_LASTCHILD)
            return E_INVALIDARG;
        const int to = stepFrom(n, static_cast<int>(direction));
        return to != 0 ? giveNumber(to, out) : giveNothing(out);
    }
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
        if (!isSquare(n))
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

void announceMove(HWND window, Spoken what, int square)
{
    composeAnnouncement(lastSaid, sizeof lastSaid / sizeof *lastSaid, what, square);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, window, OBJID_CLIENT, LiveText);
}

void moveCursor(HWND window, int square)
{
    if (square == game.cursor)
        return;
    game.cursor = square;
    if (game.focusShown)
        requestRepaint(window);
    if (GetFocus() == window)
        announceCursor(window);
}

void announceCursor(HWND window)
{
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, game.cursor);
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
        annotateLiveText(window);
    }
    // A failure comes back as a negative error code, which would reach the client in place of the
    // system's default object.
    const LRESULT result = com.lresultFromObject(__uuidof(IAccessible), wParam, board);
    return result > 0 ? result : 0;
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
