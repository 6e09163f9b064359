// system_dll.h: functions of the shell and COM libraries, loaded from the system folder only when a
// setup run needs them, so that a game run starts without loading either library.
#pragma once

// The address of the named function in the system library (for example "shell32.dll"), or null.
void *systemFunction(const char *library, const char *function);

// ShellExecuteA of shell32.dll; does nothing when the library cannot be loaded.
void shellExecute(void *owner, const char *verb, const char *file, const char *parameters, const char *directory,
                  int show);
