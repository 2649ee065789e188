#pragma once

// Ownership of Win32 handles and COM pointers.
//
// A Unique* object owns its handle and closes it exactly once. A raw handle (HANDLE, HKEY,
// HBITMAP, ...) is always borrowed: whoever holds only the raw value must not close it. So a
// function that takes a raw handle uses it, a function that returns a Unique* hands over the
// duty to close it, and get() lends the handle without giving up ownership.

#include <windows.h>

#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace fw {

// Traits: Handle, Invalid() and Close(). Invalid() is a function because INVALID_HANDLE_VALUE
// is not a constant expression.
template <typename Traits> class UniqueResource {
  public:
    using Handle = typename Traits::Handle;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Handle handle) noexcept : handle_(handle) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    // Borrowed: valid only while this object owns it.
    Handle get() const noexcept { return handle_; }

    bool IsValid() const noexcept { return handle_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    // Gives up ownership; the caller now closes the handle.
    Handle release() noexcept
    {
        Handle handle = handle_;
        handle_ = Traits::Invalid();
        return handle;
    }

    // Closes the current handle (if any) and takes ownership of the new one.
    void reset(Handle handle = Traits::Invalid()) noexcept
    {
        if (handle_ != Traits::Invalid() && handle_ != handle) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }

    // For out-parameters: closes what is held, then lets the API write the new handle here.
    Handle* put() noexcept
    {
        reset();
        return &handle_;
    }

  private:
    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::CloseHandle(handle); }
};

// CreateFileW and a few others report failure as INVALID_HANDLE_VALUE instead of null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { ::CloseHandle(handle); }
};

struct KeyTraits {
    using Handle = HKEY;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::RegCloseKey(handle); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::FreeLibrary(handle); }
};

template <typename H> struct GdiObjectTraits {
    using Handle = H;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::DeleteObject(handle); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::DestroyIcon(handle); }
};

// Memory from LocalAlloc (and the buffers Windows hands back to be freed with LocalFree).
struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { ::LocalFree(handle); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFileHandle = UniqueResource<FileHandleTraits>;
using UniqueKey = UniqueResource<KeyTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueResource<GdiObjectTraits<HPEN>>;
using UniqueRegion = UniqueResource<GdiObjectTraits<HRGN>>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits<HGDIOBJ>>;
// Only for icons made by CreateIconIndirect, CopyIcon, ExtractIcon and the like; shared icons
// from LoadIcon must not be destroyed, so they stay raw (borrowed).
using UniqueIcon = UniqueResource<IconTraits>;

// Owns one reference to a COM object. Unlike the handles, copying is allowed: a copy is one
// more reference (AddRef), and every reference is released once.
template <typename T> class ComPtr {
  public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Shares the caller's pointer: takes a reference of its own.
    explicit ComPtr(T* ptr) noexcept : ptr_(ptr) { AddRefIfAny(); }
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) { AddRefIfAny(); }
    ComPtr(ComPtr&& other) noexcept : ptr_(other.Detach()) {}

    ComPtr& operator=(const ComPtr& other) noexcept
    {
        // AddRef before Release, so self-assignment and aliasing stay safe.
        T* incoming = other.ptr_;
        if (incoming) {
            incoming->AddRef();
        }
        T* old = ptr_;
        ptr_ = incoming;
        if (old) {
            old->Release();
        }
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Attach(other.Detach());
        }
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) noexcept
    {
        reset();
        return *this;
    }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    void reset() noexcept
    {
        T* old = ptr_;
        ptr_ = nullptr;
        if (old) {
            old->Release();
        }
    }

    // For out-parameters of creating functions: releases what is held first.
    T** put() noexcept
    {
        reset();
        return &ptr_;
    }
    // QueryInterface and CoCreateInstance want void**.
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // Takes over a reference the caller already owns (no AddRef).
    void Attach(T* ptr) noexcept
    {
        T* old = ptr_;
        ptr_ = ptr;
        if (old && old != ptr) {
            old->Release();
        }
    }
    // Hands the reference to the caller (no Release).
    T* Detach() noexcept
    {
        T* ptr = ptr_;
        ptr_ = nullptr;
        return ptr;
    }

    // QueryInterface for U; the result is null when the object does not implement U.
    template <typename U> ComPtr<U> As() const noexcept
    {
        ComPtr<U> result;
        As(result);
        return result;
    }
    template <typename U> HRESULT As(ComPtr<U>& result) const noexcept
    {
        if (!ptr_) {
            result.reset();
            return E_POINTER;
        }
        return ptr_->QueryInterface(__uuidof(U), result.put_void());
    }

  private:
    void AddRefIfAny() noexcept
    {
        if (ptr_) {
            ptr_->AddRef();
        }
    }

    T* ptr_ = nullptr;
};

template <typename T, typename U> bool operator==(const ComPtr<T>& a, const ComPtr<U>& b) noexcept
{
    return a.get() == b.get();
}
template <typename T, typename U> bool operator!=(const ComPtr<T>& a, const ComPtr<U>& b) noexcept
{
    return a.get() != b.get();
}

} // namespace fw
