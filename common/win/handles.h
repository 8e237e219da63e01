// Move-only owners for Win32 handles; the "invalid" value is part of each type.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace common::win {

template <typename T, auto Close, auto Invalid>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T value) : value_(value) {}
  ~Unique() { reset(); }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : value_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != T(Invalid); }
  T release() { return std::exchange(value_, T(Invalid)); }
  void reset(T value = T(Invalid)) {
    if (value_ != T(Invalid)) Close(value_);
    value_ = value;
  }
  // For out-parameters: frees the current value and hands out its address.
  T* put() { reset(); return &value_; }

 private:
  T value_ = T(Invalid);
};

namespace detail {
inline void CloseHandleValue(HANDLE h) { ::CloseHandle(h); }
inline void ReleaseModuleHandle(HMODULE h) { ::FreeLibrary(h); }
inline void CloseKey(HKEY h) { ::RegCloseKey(h); }
inline void DeleteGdiObject(HGDIOBJ h) { ::DeleteObject(h); }
inline void DestroyIconValue(HICON h) { ::DestroyIcon(h); }
inline void DestroyMenuValue(HMENU h) { ::DestroyMenu(h); }
inline void DeleteDc(HDC h) { ::DeleteDC(h); }
inline void FindCloseValue(HANDLE h) { ::FindClose(h); }
}  // namespace detail

using UniqueHandle = Unique<HANDLE, detail::CloseHandleValue, nullptr>;
// Files and find handles use INVALID_HANDLE_VALUE (-1) as their "none".
using UniqueFile = Unique<HANDLE, detail::CloseHandleValue, -1>;
using UniqueFind = Unique<HANDLE, detail::FindCloseValue, -1>;
using UniqueModule = Unique<HMODULE, detail::ReleaseModuleHandle, nullptr>;
using UniqueHkey = Unique<HKEY, detail::CloseKey, nullptr>;
using UniqueGdiObject = Unique<HGDIOBJ, detail::DeleteGdiObject, nullptr>;
using UniqueHicon = Unique<HICON, detail::DestroyIconValue, nullptr>;
using UniqueHmenu = Unique<HMENU, detail::DestroyMenuValue, nullptr>;
using UniqueMemoryDc = Unique<HDC, detail::DeleteDc, nullptr>;

// Typed GDI object owner (HFONT, HBRUSH, HBITMAP, ...).
template <typename T>
class UniqueGdi {
 public:
  UniqueGdi() = default;
  explicit UniqueGdi(T value) : object_(static_cast<HGDIOBJ>(value)) {}
  T get() const { return static_cast<T>(object_.get()); }
  explicit operator bool() const { return static_cast<bool>(object_); }
  void reset(T value = nullptr) { object_.reset(static_cast<HGDIOBJ>(value)); }

 private:
  UniqueGdiObject object_;
};

// COM initialisation for the lifetime of the object, undone only when it succeeded.
class ComInit {
 public:
  explicit ComInit(DWORD model = COINIT_APARTMENTTHREADED) : hr_(::CoInitializeEx(nullptr, model)) {}
  ~ComInit() { if (SUCCEEDED(hr_)) ::CoUninitialize(); }
  ComInit(const ComInit&) = delete;
  ComInit& operator=(const ComInit&) = delete;
  bool Succeeded() const { return SUCCEEDED(hr_); }

 private:
  HRESULT hr_;
};

// Owner of one COM interface pointer.
template <typename I>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) { reset(); p_ = std::exchange(other.p_, nullptr); }
    return *this;
  }
  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  I** put() { reset(); return &p_; }
  void** putVoid() { return reinterpret_cast<void**>(put()); }
  void reset() { if (p_) { p_->Release(); p_ = nullptr; } }

 private:
  I* p_ = nullptr;
};

}  // namespace common::win
