#include "stream_members.h"

#include <iterator>

namespace {

// CreateDispTypeInfo takes non-const names; it only reads them.
OLECHAR* Name(const wchar_t* name) { return const_cast<OLECHAR*>(name); }

PARAMDATA kLongValue[] = {{Name(L"value"), VT_I4}};
PARAMDATA kStringValue[] = {{Name(L"value"), VT_BSTR}};
PARAMDATA kData[] = {{Name(L"data"), VT_VARIANT}};

// The vtable slots are never called (the object dispatches by id itself);
// they only have to be distinct and follow IDispatch's seven.
constexpr UINT kFirstSlot = 7;

METHODDATA kMethods[] = {
    {Name(L"Type"), nullptr, kMemberType, kFirstSlot + 0, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_I4},
    {Name(L"Type"), kLongValue, kMemberType, kFirstSlot + 1, CC_STDCALL, 1, DISPATCH_PROPERTYPUT, VT_EMPTY},
    {Name(L"Mode"), nullptr, kMemberMode, kFirstSlot + 2, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_I4},
    {Name(L"Mode"), kLongValue, kMemberMode, kFirstSlot + 3, CC_STDCALL, 1, DISPATCH_PROPERTYPUT, VT_EMPTY},
    {Name(L"Position"), nullptr, kMemberPosition, kFirstSlot + 4, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_I4},
    {Name(L"Position"), kLongValue, kMemberPosition, kFirstSlot + 5, CC_STDCALL, 1, DISPATCH_PROPERTYPUT,
     VT_EMPTY},
    {Name(L"Charset"), nullptr, kMemberCharset, kFirstSlot + 6, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_BSTR},
    {Name(L"Charset"), kStringValue, kMemberCharset, kFirstSlot + 7, CC_STDCALL, 1, DISPATCH_PROPERTYPUT,
     VT_EMPTY},
    {Name(L"Open"), nullptr, kMemberOpen, kFirstSlot + 8, CC_STDCALL, 0, DISPATCH_METHOD, VT_EMPTY},
    {Name(L"Write"), kData, kMemberWrite, kFirstSlot + 9, CC_STDCALL, 1, DISPATCH_METHOD, VT_EMPTY},
    {Name(L"ReadText"), nullptr, kMemberReadText, kFirstSlot + 10, CC_STDCALL, 0, DISPATCH_METHOD, VT_BSTR},
    {Name(L"Close"), nullptr, kMemberClose, kFirstSlot + 11, CC_STDCALL, 0, DISPATCH_METHOD, VT_EMPTY},
};

}  // namespace

HRESULT CreateStreamTypeInfo(ITypeInfo** typeInfo) {
    INTERFACEDATA data{kMethods, static_cast<UINT>(std::size(kMethods))};
    return CreateDispTypeInfo(&data, LOCALE_SYSTEM_DEFAULT, typeInfo);
}
