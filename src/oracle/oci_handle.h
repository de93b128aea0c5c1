// OciHandle: owns one OCI handle allocated through an OciLibrary and frees it (OCIHandleFree)
// when destroyed or reset. Move-only. The library must outlive the handle.
#pragma once

#include <utility>

#include "oracle/oci_library.h"

namespace velmora {

class OciHandle {
 public:
  OciHandle() = default;
  OciHandle(OciLibrary& library, ub4 type) : library_(&library), type_(type) {}
  ~OciHandle() { reset(); }
  OciHandle(OciHandle&& other) noexcept { *this = std::move(other); }
  OciHandle& operator=(OciHandle&& other) noexcept {
    if (this != &other) {
      reset();
      library_ = other.library_;
      type_ = other.type_;
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  OciHandle(const OciHandle&) = delete;
  OciHandle& operator=(const OciHandle&) = delete;

  // Allocates a handle of this object's type under the parent (the environment). Any handle
  // held before is freed first. Returns the OCI status.
  sword allocate(const void* parent) {
    reset();
    return library_->handleAlloc(parent, &handle_, type_);
  }
  // Takes a handle allocated elsewhere (the environment comes from OCIEnvInit).
  void adopt(void* handle) {
    reset();
    handle_ = handle;
  }
  void reset() {
    if (handle_ != nullptr && library_ != nullptr) library_->handleFree(handle_, type_);
    handle_ = nullptr;
  }

  // Drops the handle without freeing it: its environment is gone and took it along.
  void forget() { handle_ = nullptr; }

  void* get() const { return handle_; }
  template <class T>
  T* as() const {
    return static_cast<T*>(handle_);
  }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  OciLibrary* library_ = nullptr;
  ub4 type_ = 0;
  void* handle_ = nullptr;
};

}  // namespace velmora
