#pragma once

// Hand-overs between threads that only Qt synchronises, made visible to ThreadSanitizer.
//
// Debian's Qt is not built with the sanitizer, and its QMutex, QSemaphore and the wait of
// QThread::wait synchronise through futexes the sanitizer cannot see. So a hand-over through Qt
// (a posted event, the blocking queued call, the end of a thread that QThread::wait waits for)
// orders the two threads' memory for real, but looks like a race to the sanitizer. The side that
// hands over calls HandOverRelease(token) after its last write; the side that takes over calls
// HandOverAcquire(token) before its first read; the token is any address both sides know (the
// event, the thread object). Without ThreadSanitizer both compile to nothing.

#if defined(__SANITIZE_THREAD__)
#define DRAVIK_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define DRAVIK_THREAD_SANITIZER 1
#endif
#endif

#ifdef DRAVIK_THREAD_SANITIZER
extern "C" void __tsan_acquire(void *address);
extern "C" void __tsan_release(void *address);
#endif

inline void HandOverRelease([[maybe_unused]] const void *token)
{
#ifdef DRAVIK_THREAD_SANITIZER
    __tsan_release(const_cast<void *>(token));
#endif
}

inline void HandOverAcquire([[maybe_unused]] const void *token)
{
#ifdef DRAVIK_THREAD_SANITIZER
    __tsan_acquire(const_cast<void *>(token));
#endif
}
