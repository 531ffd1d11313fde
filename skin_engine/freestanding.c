/*
 * The engine links no C runtime, yet the compiler may emit calls to these
 * for structure copies and clears.
 */
#include <stddef.h>

void* memset(void* destination, int value, size_t count) {
    unsigned char* out = (unsigned char*)destination;
    while (count--) *out++ = (unsigned char)value;
    return destination;
}

void* memcpy(void* destination, const void* source, size_t count) {
    unsigned char* out = (unsigned char*)destination;
    const unsigned char* in = (const unsigned char*)source;
    while (count--) *out++ = *in++;
    return destination;
}

void* memmove(void* destination, const void* source, size_t count) {
    unsigned char* out = (unsigned char*)destination;
    const unsigned char* in = (const unsigned char*)source;
    if (out < in) {
        while (count--) *out++ = *in++;
    } else {
        while (count--) out[count] = in[count];
    }
    return destination;
}

void* SkinMemset(void* destination, int value, unsigned count) {
    return memset(destination, value, count);
}
