// window.h: the main window with its class, menu bar, accelerators and message loop.
#pragma once

// Registers the class, creates the window, menu and accelerators, and runs the message loop until
// a quit request. Ends the process with exit code 255 when the class cannot be registered or the
// window cannot be created.
void runMainWindow();
