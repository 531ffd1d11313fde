#pragma once
// The bench's stream object: a byte buffer that is written as bytes and read
// back as text decoded in a named character set, reached only through
// IDispatch with type information.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

class StreamObject final : public IDispatch {
public:
    // A new object with one reference, or null when its type information
    // cannot be made.
    static StreamObject* Create();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** typeInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

private:
    explicit StreamObject(ITypeInfo* typeInfo);
    ~StreamObject();

    HRESULT GetProperty(DISPID id, VARIANT* result);
    HRESULT PutProperty(DISPID id, const VARIANT& value);
    HRESULT Call(DISPID id, DISPPARAMS& parameters, VARIANT* result);
    HRESULT Write(const VARIANT& data);
    HRESULT ReadText(VARIANT* result);

    LONG references_ = 1;
    ITypeInfo* typeInfo_;

    bool open_ = false;
    LONG type_ = 2;  // text, as a new stream starts
    LONG mode_ = 0;
    std::vector<unsigned char> bytes_;
    std::size_t position_ = 0;
    std::wstring charset_ = L"Unicode";
    UINT codePage_;
};

// Objects alive in this module; the module may unload when none is.
LONG LiveStreamObjects();
