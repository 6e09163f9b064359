// fake_system.h: a recording stand-in for systemFunction (token, registry, shell, other processes): what Wine
// cannot show of Windows (an unelevated user, a refused elevation, an elevated run's end, download marks) is set here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fakesys {

// The faked calls in order, with their texts as UTF-8 and numbers in hex unless said otherwise:
// "RegOpenKeyExA <key> <access>", "RegDeleteKeyExA <key> <access>", the restart (restartRecord),
// "WaitForSingleObject <milliseconds, decimal>[ refused]", "CreateProcessW <application>|<command line>|
// <flags>|<current folder>", "CopyFileW <target>", "DeleteFileW <path>", "MoveFileExA <from>|<to>|<flags>"
// (a deletion at the restart is not carried out).
extern std::vector<std::string> calls;

extern LONG entryOpenResult;     // what opening (or, but success, creating) the uninstall entry answers
extern LONG entryDeleteResult;   // what deleting it answers
extern bool elevationStarts;     // whether ShellExecuteExW starts the elevated run (else ERROR_CANCELLED)
extern DWORD waitResult;         // what every wait answers that the system would take
extern DWORD exitCode;           // the exit code of the elevated run
extern bool elevated;            // the token's elevation

// The record of ShellExecuteExW: "ShellExecuteExW <mask> <verb>|<file>|<parameters>".
std::string restartRecord(unsigned long mask, const std::string &verb, const std::string &file,
                          const std::string &parameters);
void reset();

}  // namespace fakesys
