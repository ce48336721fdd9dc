// Owners for GLib's objects, strings and errors, for the GTK backend and our GTK skin library.
#pragma once

#include <glib-object.h>

#include <memory>
#include <utility>

namespace xl::gtk {

// Owns one reference to a GObject.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* object) : object_(object) {}  // takes over a reference
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    Ref& operator=(Ref&& other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~Ref() {
        if (object_) g_object_unref(object_);
    }
    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

// Owns a g_malloc'd string.
struct GFreeDeleter {
    void operator()(void* p) const { g_free(p); }
};
using GOwnedString = std::unique_ptr<char, GFreeDeleter>;

struct GErrorDeleter {
    void operator()(GError* e) const { g_error_free(e); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

}  // namespace xl::gtk
