#pragma once
// Calls a routine by its address with exactly ten 32-bit stack words and
// returns its 32-bit result. Arguments not given are 0. Routines of up to ten
// arguments return correctly whether they remove their own arguments
// (stdcall) or leave them to the caller (cdecl).
#include <cstdint>

extern "C" std::uint32_t CallAddress(std::uint32_t routine, std::uint32_t argument1 = 0, std::uint32_t argument2 = 0,
                                     std::uint32_t argument3 = 0, std::uint32_t argument4 = 0,
                                     std::uint32_t argument5 = 0, std::uint32_t argument6 = 0,
                                     std::uint32_t argument7 = 0, std::uint32_t argument8 = 0,
                                     std::uint32_t argument9 = 0, std::uint32_t argument10 = 0);
