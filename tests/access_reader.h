// access_reader.h: reading the board's accessible object as a screen reader does, in this process or
// from another one.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

// The client area's object of the window (COM initialized on this thread first); null when none.
inline IAccessible *accessibleBoard(HWND window)
{
    CoInitialize(nullptr);
    void *object = nullptr;
    AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), &object);
    return static_cast<IAccessible *>(object);
}

inline VARIANT childId(long n)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}

// A text of child n (get_accName, ...), or "failed" and the error.
inline std::wstring readText(IAccessible *object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR *), long n)
{
    BSTR text = nullptr;
    const HRESULT result = (object->*get)(childId(n), &text);
    const std::wstring out = FAILED(result) ? L"failed " + std::to_wstring(result) : text != nullptr ? text : L"";
    SysFreeString(text);
    return out;
}

// The child an answer names (accNavigate, accHitTest, get_accFocus): 0 for S_FALSE with nothing, -1 otherwise.
inline long childOf(HRESULT result, const VARIANT &v)
{
    return result == S_OK && v.vt == VT_I4 ? v.lVal : result == S_FALSE && v.vt == VT_EMPTY ? 0 : -1;
}

// A number of child n (get_accRole, get_accState); -1 when the call gives none.
inline long readNumber(IAccessible *object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT *), long n)
{
    VARIANT v;
    v.vt = VT_EMPTY;
    return SUCCEEDED((object->*get)(childId(n), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}
