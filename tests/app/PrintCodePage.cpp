// Prints the ANSI code page this process runs under, so a test can tell
// that a locale switch really reached the program.
#include <windows.h>

#include <cstdio>

int main()
{
    std::printf("%u\n", GetACP());
    return 0;
}
