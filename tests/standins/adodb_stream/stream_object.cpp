#include "stream_object.h"

#include <cstring>
#include <new>

#include "charset_code_pages.h"
#include "stream_members.h"

namespace {

constexpr LONG kTypeBytes = 1;
constexpr LONG kTypeText = 2;

// The error codes the stream answers with, in the control facility.
constexpr HRESULT kInvalidArgument = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 3001);
constexpr HRESULT kNotAllowedNow = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 3219);
constexpr HRESULT kClosed = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 3704);

LONG liveObjects = 0;

// The value an argument slot holds, looking through a by-reference variant.
const VARIANT& ValueOf(const VARIANT& slot) {
    return slot.vt == (VT_BYREF | VT_VARIANT) && slot.pvarVal ? *slot.pvarVal : slot;
}

HRESULT ToLong(const VARIANT& value, LONG& number) {
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT hr = VariantChangeType(&converted, const_cast<VARIANT*>(&ValueOf(value)), 0, VT_I4);
    if (SUCCEEDED(hr)) number = converted.lVal;
    VariantClear(&converted);
    return hr;
}

// The UTF-8 and UTF-16 byte-order marks are not part of the text.
std::size_t ByteOrderMarkLength(UINT codePage, const unsigned char* bytes, std::size_t size) {
    if (codePage == 65001 && size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) return 3;
    if (codePage == kUtf16CodePage && size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return 2;
    return 0;
}

}  // namespace

LONG LiveStreamObjects() { return InterlockedCompareExchange(&liveObjects, 0, 0); }

StreamObject* StreamObject::Create() {
    ITypeInfo* typeInfo = nullptr;
    if (FAILED(CreateStreamTypeInfo(&typeInfo)) || !typeInfo) return nullptr;
    StreamObject* object = new (std::nothrow) StreamObject(typeInfo);
    if (!object) typeInfo->Release();
    return object;
}

StreamObject::StreamObject(ITypeInfo* typeInfo) : typeInfo_(typeInfo), codePage_(kUtf16CodePage) {
    InterlockedIncrement(&liveObjects);
}

StreamObject::~StreamObject() {
    typeInfo_->Release();
    InterlockedDecrement(&liveObjects);
}

HRESULT StreamObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG StreamObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG StreamObject::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT StreamObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT StreamObject::GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) {
    if (!typeInfo) return E_POINTER;
    *typeInfo = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    typeInfo_->AddRef();
    *typeInfo = typeInfo_;
    return S_OK;
}

HRESULT StreamObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return DispGetIDsOfNames(typeInfo_, names, count, ids);
}

HRESULT StreamObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                             EXCEPINFO* exception, UINT*) {
    DISPPARAMS none{};
    DISPPARAMS& arguments = parameters ? *parameters : none;
    if (result) VariantInit(result);
    HRESULT hr = DISP_E_MEMBERNOTFOUND;
    const bool isProperty = id >= kMemberType && id <= kMemberCharset;
    if (isProperty && (flags & DISPATCH_PROPERTYPUT)) {
        hr = arguments.cArgs == 1 ? PutProperty(id, arguments.rgvarg[0]) : DISP_E_BADPARAMCOUNT;
    } else if (isProperty && (flags & DISPATCH_PROPERTYGET)) {
        hr = arguments.cArgs == 0 ? GetProperty(id, result) : DISP_E_BADPARAMCOUNT;
    } else if (!isProperty && (flags & DISPATCH_METHOD)) {
        hr = Call(id, arguments, result);
    }
    // Failures of the stream itself come back as exceptions, as callers of
    // automation objects expect.
    if (FAILED(hr) && HRESULT_FACILITY(hr) == FACILITY_CONTROL) {
        if (exception) {
            std::memset(exception, 0, sizeof(*exception));
            exception->scode = hr;
            exception->bstrSource = SysAllocString(L"Adodb.Stream");
        }
        return DISP_E_EXCEPTION;
    }
    return hr;
}

HRESULT StreamObject::GetProperty(DISPID id, VARIANT* result) {
    if (!result) return S_OK;
    switch (id) {
        case kMemberType: result->vt = VT_I4; result->lVal = type_; return S_OK;
        case kMemberMode: result->vt = VT_I4; result->lVal = mode_; return S_OK;
        case kMemberPosition: result->vt = VT_I4; result->lVal = static_cast<LONG>(position_); return S_OK;
        case kMemberCharset:
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringLen(charset_.data(), static_cast<UINT>(charset_.size()));
            return result->bstrVal ? S_OK : E_OUTOFMEMORY;
        default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT StreamObject::PutProperty(DISPID id, const VARIANT& value) {
    if (id == kMemberCharset) {
        VARIANT name;
        VariantInit(&name);
        HRESULT hr = VariantChangeType(&name, const_cast<VARIANT*>(&ValueOf(value)), 0, VT_BSTR);
        if (FAILED(hr)) return hr;
        const UINT codePage = CodePageOfCharset(name.bstrVal);
        charset_.assign(name.bstrVal ? name.bstrVal : L"", SysStringLen(name.bstrVal));
        VariantClear(&name);
        // An unknown name leaves the stream with no character set at all, so
        // that reading text fails as well.
        codePage_ = codePage;
        return codePage ? S_OK : kInvalidArgument;
    }
    LONG number = 0;
    if (FAILED(ToLong(value, number))) return DISP_E_TYPEMISMATCH;
    switch (id) {
        case kMemberType:
            if (number != kTypeBytes && number != kTypeText) return kInvalidArgument;
            // The type changes only at the start of the data.
            if (open_ && position_ != 0) return kNotAllowedNow;
            type_ = number;
            return S_OK;
        case kMemberMode:
            if (open_) return kNotAllowedNow;
            mode_ = number;
            return S_OK;
        case kMemberPosition:
            if (!open_) return kClosed;
            if (number < 0 || static_cast<std::size_t>(number) > bytes_.size()) return kInvalidArgument;
            position_ = static_cast<std::size_t>(number);
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT StreamObject::Call(DISPID id, DISPPARAMS& parameters, VARIANT* result) {
    const UINT expected = id == kMemberWrite ? 1 : 0;
    if (id < kMemberOpen || id > kMemberClose) return DISP_E_MEMBERNOTFOUND;
    if (parameters.cArgs != expected) return DISP_E_BADPARAMCOUNT;
    switch (id) {
        case kMemberOpen:
            if (open_) return kNotAllowedNow;
            open_ = true;
            bytes_.clear();
            position_ = 0;
            return S_OK;
        case kMemberWrite: return Write(parameters.rgvarg[0]);
        case kMemberReadText: return ReadText(result);
        case kMemberClose:
            if (!open_) return kClosed;
            open_ = false;
            bytes_.clear();
            position_ = 0;
            return S_OK;
        default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT StreamObject::Write(const VARIANT& slot) {
    if (!open_) return kClosed;
    if (type_ != kTypeBytes) return kNotAllowedNow;
    const VARIANT& data = ValueOf(slot);
    SAFEARRAY* array = nullptr;
    if (data.vt == (VT_ARRAY | VT_UI1)) array = data.parray;
    else if (data.vt == (VT_BYREF | VT_ARRAY | VT_UI1) && data.pparray) array = *data.pparray;
    if (!array || SafeArrayGetDim(array) != 1) return DISP_E_TYPEMISMATCH;
    LONG lower = 0;
    LONG upper = -1;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper)))
        return DISP_E_TYPEMISMATCH;
    const std::size_t count = upper >= lower ? static_cast<std::size_t>(upper - lower) + 1 : 0;
    if (count == 0) return S_OK;
    void* source = nullptr;
    if (FAILED(SafeArrayAccessData(array, &source))) return DISP_E_TYPEMISMATCH;
    // Written at the position: what lies there is overwritten, the rest appended.
    if (bytes_.size() < position_ + count) bytes_.resize(position_ + count);
    std::memcpy(bytes_.data() + position_, source, count);
    SafeArrayUnaccessData(array);
    position_ += count;
    return S_OK;
}

HRESULT StreamObject::ReadText(VARIANT* result) {
    if (!open_) return kClosed;
    if (type_ != kTypeText || codePage_ == 0) return kNotAllowedNow;
    const unsigned char* start = bytes_.data() + position_;
    std::size_t size = bytes_.size() - position_;
    const std::size_t mark = ByteOrderMarkLength(codePage_, start, size);
    start += mark;
    size -= mark;

    std::wstring text;
    if (codePage_ == kUtf16CodePage) {
        text.resize(size / sizeof(wchar_t));
        if (!text.empty()) std::memcpy(text.data(), start, text.size() * sizeof(wchar_t));
    } else if (size > 0) {
        const char* input = reinterpret_cast<const char*>(start);
        const int length = MultiByteToWideChar(codePage_, 0, input, static_cast<int>(size), nullptr, 0);
        if (length <= 0) return kInvalidArgument;
        text.resize(static_cast<std::size_t>(length));
        MultiByteToWideChar(codePage_, 0, input, static_cast<int>(size), text.data(), length);
    }
    position_ = bytes_.size();
    if (!result) return S_OK;
    result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!result->bstrVal) return E_OUTOFMEMORY;
    result->vt = VT_BSTR;
    return S_OK;
}
