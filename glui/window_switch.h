// Makes a GLUT window current for the lifetime of the object and puts the
// previous one back afterwards, the way every toolkit operation on another
// window must, so that the program's own drawing goes where it expects.
#pragma once

class WindowSwitch {
public:
    // A target of 0 or less (no such window) leaves the current one alone.
    explicit WindowSwitch(int target);
    ~WindowSwitch();
    WindowSwitch(const WindowSwitch&) = delete;
    WindowSwitch& operator=(const WindowSwitch&) = delete;

private:
    int previous;
};
