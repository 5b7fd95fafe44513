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
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle(); }

    // For APIs that hand out a handle through a pointer.
    Handle* receive()
    {
        reset();
        return &handle_;
    }

    Handle release()
    {
        Handle handle = handle_;
        handle_ = Handle();
        return handle;
    }

    void reset(Handle handle = Handle())
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
