// Brings the Wine prefix up for a test run and fails when the ANSI code page
// is not 936: every GBK text of the program would be misread otherwise.
#include <windows.h>

#include <cstdio>

int main() {
    UINT acp = GetACP();
    std::printf("ANSI code page %u\n", acp);
    return acp == 936 ? 0 : 1;
}
