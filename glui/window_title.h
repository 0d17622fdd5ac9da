// Window titles in Shift-JIS that window managers show legibly.
#pragma once

// Titles the current GLUT window: WM_NAME keeps the Shift-JIS bytes as GLUT
// sets them, _NET_WM_NAME and _NET_WM_ICON_NAME get the same text in UTF-8,
// and WM_CLASS names the program so tools can find its windows by class.
void setWindowTitle(const char* sjisTitle);
