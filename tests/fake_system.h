// fake_system.h: a recording stand-in for systemFunction, the one way setup reaches the token, registry
// and shell functions: what Wine cannot show of Windows (an unelevated user, a refused elevation,
// download marks) is set here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fakesys {

// The faked calls in order, with their texts as UTF-8: "RegOpenKeyExA <key> <access in hex>",
// "RegDeleteKeyExA <key>", "ShellExecuteA <verb>|<file>|<parameters>", "ShellExecuteExW
// <verb>|<file>|<parameters>", "DeleteFileW <path>"; and GetTickCount at the first of them.
extern std::vector<std::string> calls;
extern DWORD firstCallTick;

extern LONG entryOpenResult;   // what opening the uninstall entry answers
extern bool elevationStarts;   // whether ShellExecuteExW starts the elevated run (else ERROR_CANCELLED)
extern bool elevated;          // the token's elevation

// Calls whose text starts with prefix.
std::vector<std::string> callsOf(const std::string &prefix);
void reset();

}  // namespace fakesys
