// The DLL's class factory and its COM entry points.
#include "stream_server.h"

#include <objbase.h>

#include "stream_object.h"

namespace {

HMODULE thisModule = nullptr;
LONG serverLocks = 0;

class StreamClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One static factory for the module's lifetime.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        StreamObject* stream = StreamObject::Create();
        if (!stream) return E_OUTOFMEMORY;
        const HRESULT hr = stream->QueryInterface(iid, object);
        stream->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) InterlockedIncrement(&serverLocks);
        else InterlockedDecrement(&serverLocks);
        return S_OK;
    }
};

StreamClassFactory factory;

}  // namespace

HMODULE StreamServerModule() { return thisModule; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        thisModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID iid, LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(classId, kStreamStandInClassId)) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() {
    return LiveStreamObjects() == 0 && InterlockedCompareExchange(&serverLocks, 0, 0) == 0 ? S_OK : S_FALSE;
}
