// Hand-offs through Qt's posted events, made visible to ThreadSanitizer.
//
// A value a background thread puts into a posted event is read by the
// user-interface thread when the event is delivered. Qt orders the two with a
// lock of its own, but the Qt of the distribution is not built with
// ThreadSanitizer, so that lock is invisible to it and every such hand-off
// would read as a race. Published (on the posting thread, after the last
// write) and Received (on the user-interface thread, before the first read) on
// the same address tell ThreadSanitizer what Qt guarantees. Without
// ThreadSanitizer both compile to nothing.
#pragma once

#if defined(__SANITIZE_THREAD__)
#define VANTELSOR_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VANTELSOR_TSAN 1
#endif
#endif

#ifdef VANTELSOR_TSAN
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace vantelsor::ui {

#ifdef VANTELSOR_TSAN
inline void Published(const void* address) {
    __tsan_release(const_cast<void*>(address));
}
inline void Received(const void* address) {
    __tsan_acquire(const_cast<void*>(address));
}
#else
inline void Published(const void*) {}
inline void Received(const void*) {}
#endif

}  // namespace vantelsor::ui
