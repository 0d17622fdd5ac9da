#include "launch/command_line.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const partivoxVersion = PARTIVOX_VERSION;

namespace {

// The options freeglut's glutInit takes wherever they stand. Reading them
// here lets a program answer its own arguments before glutInit, which ends
// the program when there is no display.
struct GlutOption {
    const char* name;
    bool takesValue;
};
constexpr GlutOption glutOptions[] = {
    {"-display", true}, {"-geometry", true}, {"-direct", false}, {"-indirect", false},
    {"-iconic", false}, {"-gldebug", false}, {"-sync", false},
};

const GlutOption* findGlutOption(const char* argument) {
    for (const GlutOption& option : glutOptions)
        if (std::strcmp(argument, option.name) == 0) return &option;
    return nullptr;
}

// Help that never reached its reader (a full disk, a closed pipe) is a
// failure, not a success.
[[noreturn]] void exitAfterWriting(const char* program) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "%s: cannot write to standard output\n", program);
        std::exit(2);
    }
    std::exit(0);
}

}  // namespace

std::vector<const char*> argumentsBesideGlut(int argc, char** argv) {
    std::vector<const char*> own;
    for (int i = 1; i < argc; ++i) {
        const GlutOption* glut = findGlutOption(argv[i]);
        if (glut == nullptr)
            own.push_back(argv[i]);
        else if (glut->takesValue)
            ++i;
    }
    return own;
}

void answerHelpAndVersion(const std::vector<const char*>& arguments, const char* program, const char* help) {
    for (const char* argument : arguments) {
        if (std::strcmp(argument, "--help") == 0) {
            std::fputs(help, stdout);
            exitAfterWriting(program);
        }
        if (std::strcmp(argument, "--version") == 0) {
            std::printf("%s %s\n", program, partivoxVersion);
            exitAfterWriting(program);
        }
    }
}

bool isOption(const char* argument) {
    return argument[0] == '-' && (argument[1] == '-' || std::isalpha(static_cast<unsigned char>(argument[1])));
}

void refuseOption(const char* program, const char* option) {
    std::fprintf(stderr, "%s: unknown option '%s' (%s --help lists the options)\n", program, option, program);
    std::exit(2);
}

void refuseArguments(const char* program, const char* help) {
    std::fprintf(stderr, "%s: %.*s\n", program, static_cast<int>(std::strcspn(help, "\n")), help);
    std::exit(2);
}
