#pragma once

// The one implementation of a desktop service in force in the process: the program installs
// the real one, tests install a fake. `T` names its default with a static `Default()`, used
// while nothing is installed.
template <class T>
class TInstallable {
 public:
  static T& Current() { return FCurrent ? *FCurrent : T::Default(); }
  // Installs `service` (not owned) and returns the previous one; nullptr restores the default.
  static T* Install(T* service) {
    T* previous = FCurrent;
    FCurrent = service;
    return previous;
  }

  // Installs a service for the lifetime of a scope and puts the previous one back.
  class TScope {
   public:
    explicit TScope(T* service) : FPrevious(Install(service)) {}
    ~TScope() { Install(FPrevious); }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

   private:
    T* FPrevious;
  };

 protected:
  TInstallable() = default;
  ~TInstallable() = default;

 private:
  static inline T* FCurrent = nullptr;
};
