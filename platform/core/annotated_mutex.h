// A mutex, its scoped lock and the attributes that let clang's thread-safety analysis check who holds what.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// Clang checks these at compile time (-Wthread-safety, on in the clang-built trees); other compilers
// see nothing, so the rules cost no code.
#if defined(__clang__)
#define KESTROVA_TSA(x) __attribute__((x))
#else
#define KESTROVA_TSA(x)
#endif

#define CAPABILITY(x) KESTROVA_TSA(capability(x))
#define SCOPED_CAPABILITY KESTROVA_TSA(scoped_lockable)
#define GUARDED_BY(x) KESTROVA_TSA(guarded_by(x))
#define PT_GUARDED_BY(x) KESTROVA_TSA(pt_guarded_by(x))
#define REQUIRES(...) KESTROVA_TSA(requires_capability(__VA_ARGS__))
#define REQUIRES_SHARED(...) KESTROVA_TSA(requires_shared_capability(__VA_ARGS__))
#define EXCLUDES(...) KESTROVA_TSA(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) KESTROVA_TSA(acquire_capability(__VA_ARGS__))
#define RELEASE(...) KESTROVA_TSA(release_capability(__VA_ARGS__))
#define ASSERT_CAPABILITY(x) KESTROVA_TSA(assert_capability(x))
#define RETURN_CAPABILITY(x) KESTROVA_TSA(lock_returned(x))
// Only where the rule cannot be said in these terms; the reason stands beside each use.
#define NO_THREAD_SAFETY_ANALYSIS KESTROVA_TSA(no_thread_safety_analysis)

class CAPABILITY("mutex") Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void lock() ACQUIRE() { mutex_.lock(); }
  void unlock() RELEASE() { mutex_.unlock(); }

  // For the analysis only: tells it that the caller holds this mutex where it cannot see the lock
  // taken (a function reached only with the lock held through a callback).
  void AssertHeld() const ASSERT_CAPABILITY(this) {}

 private:
  std::mutex mutex_;
};

// For the one lock a thread takes again while it holds it, where a toolkit call made under it comes
// back into code that takes it (the reason stands beside the lock).
class CAPABILITY("mutex") RecursiveMutex {
 public:
  RecursiveMutex() = default;
  RecursiveMutex(const RecursiveMutex&) = delete;
  RecursiveMutex& operator=(const RecursiveMutex&) = delete;

  void lock() ACQUIRE() { mutex_.lock(); }
  void unlock() RELEASE() { mutex_.unlock(); }

 private:
  std::recursive_mutex mutex_;
};

class SCOPED_CAPABILITY RecursiveLock {
 public:
  explicit RecursiveLock(RecursiveMutex& mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex_.lock(); }
  ~RecursiveLock() RELEASE() { mutex_.unlock(); }
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

 private:
  RecursiveMutex& mutex_;
};

// Holds a Mutex for its scope. Waiting on a condition variable lets it go and takes it again; the
// predicates given to the waits say REQUIRES(mutex) so that the analysis checks their bodies too.
class SCOPED_CAPABILITY Lock {
 public:
  explicit Lock(Mutex& mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex_.lock(); }
  ~Lock() RELEASE() { mutex_.unlock(); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  template <typename Predicate>
  void Wait(std::condition_variable_any& cv, Predicate done) {
    cv.wait(mutex_, done);
  }
  // False when the bound passed with done() still false.
  template <typename Predicate>
  bool WaitFor(std::condition_variable_any& cv, std::chrono::milliseconds bound, Predicate done) {
    return cv.wait_for(mutex_, bound, done);
  }
  template <typename Clock, typename Duration, typename Predicate>
  bool WaitUntil(std::condition_variable_any& cv, std::chrono::time_point<Clock, Duration> deadline,
                 Predicate done) {
    return cv.wait_until(mutex_, deadline, done);
  }

 private:
  Mutex& mutex_;
};
