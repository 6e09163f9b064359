// utf8.h: UTF-16 text as UTF-8, for recorded calls and test messages.
#pragma once

#include <windows.h>

#include <string>

// A null text gives an empty one.
inline std::string utf8(const wchar_t *text)
{
    if (text == nullptr)
        return "";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return "";
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(size - 1);   // without the terminating zero
    return out;
}
