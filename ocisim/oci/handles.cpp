#include "handles.h"

#include <mutex>
#include <unordered_map>

namespace ocisim::oci {
namespace {

// Every live handle by address. Looked up by every entry point before a caller's pointer is
// followed; the lock is held only for the look-up itself, so OCIBreak from another thread never
// waits for a running fetch.
struct Registry {
  std::mutex mutex;
  std::unordered_map<const void*, Handle*> handles;
};

Registry& registry() {
  static Registry* instance = new Registry();  // never destroyed: handles may outlive statics
  return *instance;
}

}  // namespace

Handle::Handle(ub4 type, Env* env) : type_(type), env_(env) {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.handles[this] = this;
}

Handle::~Handle() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  r.handles.erase(this);
}

void* Handle::userMemory(size_t bytes) {
  userMemory_.assign(bytes, 0);
  return userMemory_.empty() ? nullptr : userMemory_.data();
}

Handle* findAnyHandle(const void* pointer) {
  if (pointer == nullptr) return nullptr;
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  auto it = r.handles.find(pointer);
  return it == r.handles.end() ? nullptr : it->second;
}

Handle* findHandle(const void* pointer, ub4 type) {
  Handle* handle = findAnyHandle(pointer);
  return handle != nullptr && handle->type() == type ? handle : nullptr;
}

Env::~Env() {
  // Statements first: they hold sessions, which hold connections.
  for (auto it = children_.begin(); it != children_.end();) {
    if (it->first->type() == OCI_HTYPE_STMT)
      it = children_.erase(it);
    else
      ++it;
  }
  children_.clear();
}

Handle* Env::adopt(std::unique_ptr<Handle> child) {
  Handle* raw = child.get();
  children_[raw] = std::move(child);
  return raw;
}

bool Env::release(Handle* child) {
  return children_.erase(child) > 0;
}

ServerHandle::~ServerHandle() {
  if (connection) connection->detached = true;
}

void SessionHandle::end() {
  if (state) {
    state->ended = true;
    // A statement handle may keep the engine's session alive; the user is logged off now.
    if (state->session) state->session->logOff();
  }
  state.reset();
}

SessionHandle::~SessionHandle() {
  end();
}

}  // namespace ocisim::oci
