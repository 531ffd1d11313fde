#pragma once
// The members of the bench's stream object, their dispatch ids and its type
// information: exactly the members a page fetch calls.
#include <windows.h>
#include <oleauto.h>

enum StreamMember : DISPID {
    kMemberType = 1,
    kMemberMode = 2,
    kMemberPosition = 3,
    kMemberCharset = 4,
    kMemberOpen = 5,
    kMemberWrite = 6,
    kMemberReadText = 7,
    kMemberClose = 8,
};

// Type information listing the members with their argument types, so that
// late-bound callers can bind them by name and convert their arguments.
HRESULT CreateStreamTypeInfo(ITypeInfo** typeInfo);
