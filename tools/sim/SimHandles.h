// Owning wrappers for the Win32 handles the simulated platform opens: each
// closes its handle when it leaves scope, so no early return leaks one.
#pragma once

#include <windows.h>
#include <wincrypt.h>

template <typename Handle, void (*Close)(Handle)>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle(); }

    // For APIs that hand out a handle through a pointer.
    Handle* Receive()
    {
        Reset();
        return &handle_;
    }

    Handle Release()
    {
        Handle handle = handle_;
        handle_ = Handle();
        return handle;
    }

    void Reset(Handle handle = Handle())
    {
        if (handle_ != Handle())
            Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Handle();
};

inline void CloseRegKey(HKEY key) { RegCloseKey(key); }
inline void CloseCertStore(HCERTSTORE store) { CertCloseStore(store, 0); }
inline void FreeCertContext(PCCERT_CONTEXT context) { CertFreeCertificateContext(context); }

using RegKey = UniqueHandle<HKEY, CloseRegKey>;
using CertStore = UniqueHandle<HCERTSTORE, CloseCertStore>;
using CertContext = UniqueHandle<PCCERT_CONTEXT, FreeCertContext>;
