#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

#include "Clock.h"

// How many requests each address made in the last minute, on the platform's clock; a server
// answers an address over its share that it asks too often.
class TRateLimit {
 public:
  explicit TRateLimit(int perMinute) : FPerMinute(perMinute) {}

  bool Allow(const std::string& address) {
    const qint64 now = TClock::Current().Ticks();
    const qint64 since = now - kWindow;
    std::lock_guard<std::mutex> lock(FMutex);
    // Addresses long quiet are forgotten, so that a crowd of them cannot fill the memory.
    if (FSeen.size() > kMaxAddresses) {
      for (auto it = FSeen.begin(); it != FSeen.end();) {
        if (it->second.empty() || it->second.back() < since)
          it = FSeen.erase(it);
        else
          ++it;
      }
    }
    std::deque<qint64>& times = FSeen[address];
    while (!times.empty() && times.front() < since)
      times.pop_front();
    if (static_cast<int>(times.size()) >= FPerMinute)
      return false;
    times.push_back(now);
    return true;
  }

 private:
  static constexpr size_t kMaxAddresses = 10000;
  static constexpr qint64 kWindow = 60 * 1000;  // a minute, in the clock's milliseconds
  const int FPerMinute;
  std::mutex FMutex;
  // When each address made its requests of the last minute.
  std::unordered_map<std::string, std::deque<qint64>> FSeen;
};
