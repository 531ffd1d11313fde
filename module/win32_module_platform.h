#pragma once
// The loader's platform in the program: kernel32's memory and library
// services, byte copies straight at the addresses of this process, and calls
// through CallAddress.
#include "module/module_platform.h"

ModulePlatform& SystemModulePlatform();
