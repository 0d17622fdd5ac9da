// The command line the installed programs share. --help and --version are
// answered before anything else, so they work without a window and without
// a display; GLUT's own options are set aside for glutInit.
#pragma once

#include <vector>

// The version of every program, as CMakeLists.txt names it.
extern const char* const partivoxVersion;

// argv without the program name and without the options glutInit takes
// (with their values), in order.
std::vector<const char*> argumentsBesideGlut(int argc, char** argv);

// With --help among the arguments prints help on standard output, with
// --version "PROGRAM VERSION"; either ends the program with status 0.
void answerHelpAndVersion(const std::vector<const char*>& arguments, const char* program, const char* help);

// True for what reads as an option: a dash and a letter, or two dashes. A
// lone dash and a negative number are ordinary arguments.
bool isOption(const char* argument);

// One line naming an option the program does not know; exit status 2.
[[noreturn]] void refuseOption(const char* program, const char* option);

// "PROGRAM: " and the usage line, the first line of help, on standard error;
// exit status 2.
[[noreturn]] void refuseArguments(const char* program, const char* help);
