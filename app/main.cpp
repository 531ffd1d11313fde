#include <windows.h>

#include "app/reader_program.h"
#include "runtime/exit_routines.h"

#ifndef QH_SITE_ROOT
#error "QH_SITE_ROOT comes from the build"
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int result = ProgramMain(SiteCatalogue{QH_SITE_ROOT});
    RunExitRoutines();
    return result;
}
