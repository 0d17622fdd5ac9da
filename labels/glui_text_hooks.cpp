// The widget toolkit draws and measures every label through these two
// functions; routing them to the label renderer makes control names, buttons,
// check boxes, panel titles and static texts come out in Japanese with
// correct widths.
#include "labels/label_font.h"

void _glutBitmapString(void* font, const char* s)
{
    drawLabelString(font, s);
}

int _glutBitmapWidthString(void* font, const char* s)
{
    return labelStringWidth(font, s);
}
