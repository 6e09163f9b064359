// access_reader.h: reading the board's accessible object as a screen reader does, in this process or
// across processes.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

// The client area's object of the window (COM is initialized on this thread first); null when none.
inline IAccessible *accessibleBoard(HWND window)
{
    CoInitialize(nullptr);
    IAccessible *object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void **>(&object))))
        return nullptr;
    return object;
}

inline VARIANT childId(long n)
{
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = n;
    return v;
}

// A text of child n (get_accName, get_accDefaultAction, ...), or "failed 0x..." with the error.
inline std::wstring readText(IAccessible *object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR *), long n)
{
    BSTR text = nullptr;
    const HRESULT result = (object->*get)(childId(n), &text);
    wchar_t failed[32];
    swprintf(failed, 32, L"failed 0x%08lx", static_cast<unsigned long>(result));
    const std::wstring out = FAILED(result) ? failed : text != nullptr ? text : L"";
    SysFreeString(text);
    return out;
}

// A number of child n (get_accRole, get_accState); -1 when the call fails or gives no number.
inline long readNumber(IAccessible *object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT *), long n)
{
    VARIANT v;
    v.vt = VT_EMPTY;
    return SUCCEEDED((object->*get)(childId(n), &v)) && v.vt == VT_I4 ? v.lVal : -1;
}
