// The IUnknown part that every object of the stand-in shares: a reference count, no other
// interfaces, and one hook for the moment the last reference goes.
#ifndef STARLANE_PLATFORM_COM_OBJECT_H
#define STARLANE_PLATFORM_COM_OBJECT_H

#include <windows.h>

template <class Interface> class ComObject : public Interface {
public:
    ULONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override
    {
        if (ppv)
            *ppv = NULL;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (--refs > 0)
            return refs;
        lastRelease();
        delete this;
        return 0;
    }

protected:
    virtual ~ComObject() {}
    // Let go of what the object holds and stop counting it as live.
    virtual void lastRelease() = 0;
};

#endif
