// COM for a scope of code: the apartment of the calling thread, and interface pointers released
// once. Header-only, Windows only.
#pragma once

#include <windows.h>

#include <objbase.h>

// COM for the current thread while the scope lives, in the model asked for. A thread that already
// runs COM in the other model (RPC_E_CHANGED_MODE) can still make the calls, but must not
// uninitialise.
class ComScope {
  public:
    explicit ComScope(DWORD model) : hr_(CoInitializeEx(nullptr, model)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT hr_;
};

// One interface pointer, released once.
template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() {
        if (p_) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* get() const { return p_; }
    Interface* operator->() const { return p_; }
    Interface** put() { return &p_; }
    void** out() { return reinterpret_cast<void**>(&p_); }

  private:
    Interface* p_ = nullptr;
};
