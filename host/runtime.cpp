// The few memory routines that the compiler emits calls to by itself. Built
// with -fno-builtin and without loop-to-call rewriting so that none of them
// turns into a call to itself.
#include <stddef.h>

extern "C" {

void*
memset(void* destination, int value, size_t size)
{
    unsigned char* to = (unsigned char*)destination;
    while (size-- != 0)
        *to++ = (unsigned char)value;
    return destination;
}

void*
memcpy(void* destination, const void* source, size_t size)
{
    unsigned char* to = (unsigned char*)destination;
    const unsigned char* from = (const unsigned char*)source;
    while (size-- != 0)
        *to++ = *from++;
    return destination;
}

void*
memmove(void* destination, const void* source, size_t size)
{
    unsigned char* to = (unsigned char*)destination;
    const unsigned char* from = (const unsigned char*)source;
    if (to < from) {
        while (size-- != 0)
            *to++ = *from++;
    } else {
        while (size-- != 0)
            to[size] = from[size];
    }
    return destination;
}

int
memcmp(const void* first, const void* second, size_t size)
{
    const unsigned char* a = (const unsigned char*)first;
    const unsigned char* b = (const unsigned char*)second;
    for (; size != 0; --size, ++a, ++b) {
        if (*a != *b)
            return *a < *b ? -1 : 1;
    }
    return 0;
}

}
