#pragma once

// The hook library: while the movie library's full-screen window has the keyboard, each
// key pressed there reaches the main window as the key notification (WM_USER + 100) with
// its Windows virtual-key code.
extern "C" {

void SetHook(void);
void FreeHook(void);

}  // extern "C"
