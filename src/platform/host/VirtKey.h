// Virtual-key helpers shared by the hosts: names for scripts, the character a key types.
#pragma once

// The virtual-key code of a key name: a letter or digit, or one of Left, Right, Up, Down, Esc,
// Enter, Tab, Shift, Ctrl, Alt, Space, End, Home, Back (any letter case); 0 when unknown.
int VirtKeyFromName(const char* pszName);

// The character a key-down types on a US layout without Caps Lock (what WM_CHAR carries):
// letters and digits by the Shift state, space, Enter 13, Tab 9, Esc 27, Backspace 8; else 0.
int VirtKeyToChar(int nVirtKey, bool bShift);
