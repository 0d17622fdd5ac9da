// The list a list box opens. Pop-up menus of the window system cannot show
// Shift-JIS text, so the list is drawn inside the control window itself with
// the label renderer; the window grows while it is open if it needs room.
#pragma once

class GLUI;
class GLUI_Listbox;

void openDropdown(GLUI_Listbox* box);
void closeDropdown(GLUI* glui);
// Widens w and h to hold the open list.
void dropdownExtent(const GLUI* glui, int& w, int& h);
void drawDropdown(const GLUI* glui);
// Input while the list is open. A press outside the list closes it and
// returns false: the window then handles it as if no list had been open.
bool dropdownMouse(GLUI* glui, int state, int x, int y);
void dropdownMotion(GLUI* glui, int x, int y);
void dropdownKey(GLUI* glui, unsigned char key);
void dropdownSpecial(GLUI* glui, int key);
