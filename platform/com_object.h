// The part that every object of the stand-in shares: a place among the live objects from
// the moment it is made until it is deleted, and IUnknown with a reference count, no other
// interfaces and one hook for the moment the last reference goes.
#ifndef STARLANE_PLATFORM_COM_OBJECT_H
#define STARLANE_PLATFORM_COM_OBJECT_H

#include <vector>

#include <windows.h>

// Registers itself when made and leaves when deleted, by its last Release or a reset.
class LiveObject {
public:
    LiveObject();
    virtual ~LiveObject();
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;
};

// Every object alive, oldest first (for hooks that act on every surface or keyboard).
const std::vector<LiveObject*>& liveObjects();
// Deletes every object still alive, without the release chains: what a test left behind.
void deleteLiveObjects();

template <class Interface> class ComObject : public Interface, public LiveObject {
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
    // Let go of what the object holds (the references it keeps, the mode it set).
    virtual void lastRelease() {}
};

#endif
