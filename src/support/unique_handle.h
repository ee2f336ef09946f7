// One owner type per handle kind: a small move-only template in the shape of WIL's
// unique_any, with an alias per kind.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <utility>

namespace vh {

template <typename T, auto Close, auto Invalid = T{}>
class unique_any {
public:
    using pointer = T;
    unique_any() noexcept = default;
    explicit unique_any(T value) noexcept : value_(value) {}
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    ~unique_any() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != invalid(); }
    T release() noexcept { return std::exchange(value_, invalid()); }
    void reset(T value = invalid()) noexcept
    {
        T old = std::exchange(value_, value);
        if (old != invalid()) Close(old);
    }
    // For out-parameters: frees the current value and hands out the slot.
    T* put() noexcept { reset(); return &value_; }

private:
    static T invalid() noexcept { return reinterpret_cast<T>(Invalid); }
    T value_ = invalid();
};

namespace detail {
inline void close_handle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void close_key(HKEY h) noexcept { ::RegCloseKey(h); }
inline void free_library(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void local_free(HLOCAL h) noexcept { ::LocalFree(h); }
inline void co_task_mem_free(void* p) noexcept { ::CoTaskMemFree(p); }
inline void destroy_icon(HICON h) noexcept { ::DestroyIcon(h); }
inline void delete_object(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void find_close(HANDLE h) noexcept { ::FindClose(h); }
inline void free_sid(PSID p) noexcept { ::FreeSid(p); }
} // namespace detail

using unique_handle = unique_any<HANDLE, detail::close_handle>;
using unique_hfile = unique_any<HANDLE, detail::close_handle, INT_PTR(-1)>;   // INVALID_HANDLE_VALUE
using unique_hkey = unique_any<HKEY, detail::close_key>;
using unique_hmodule = unique_any<HMODULE, detail::free_library>;
using unique_hlocal = unique_any<HLOCAL, detail::local_free>;
using unique_cotaskmem = unique_any<void*, detail::co_task_mem_free>;
using unique_hicon = unique_any<HICON, detail::destroy_icon>;
using unique_hgdiobj = unique_any<HGDIOBJ, detail::delete_object>;
using unique_hfind = unique_any<HANDLE, detail::find_close, INT_PTR(-1)>;
using unique_sid = unique_any<PSID, detail::free_sid>;

// A small COM pointer: owns one reference.
template <typename I>
class com_ptr {
public:
    com_ptr() noexcept = default;
    com_ptr(const com_ptr& other) noexcept : p_(other.p_) { if (p_) p_->AddRef(); }
    com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    com_ptr& operator=(com_ptr other) noexcept { std::swap(p_, other.p_); return *this; }
    ~com_ptr() { reset(); }

    I* get() const noexcept { return p_; }
    I* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset() noexcept { if (auto p = std::exchange(p_, nullptr)) p->Release(); }
    I** put() noexcept { reset(); return &p_; }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    template <typename J>
    com_ptr<J> query() const noexcept
    {
        com_ptr<J> result;
        if (p_) p_->QueryInterface(__uuidof(J), result.put_void());
        return result;
    }

private:
    I* p_ = nullptr;
};

} // namespace vh
