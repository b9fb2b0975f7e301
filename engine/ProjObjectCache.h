// PROJ objects kept for reuse, keyed by the exact definition text.
//
// Making a PROJ object costs far more than transforming a point with it.
// Each thread has its own cache and PROJ context (PROJ objects must not be
// shared between threads); the few definitions in use stay made.
#pragma once

#include <string>
#include <vector>

#include <proj.h>

namespace tarnwell {

class ProjObjectCache {
 public:
  // The calling thread's cache.
  static ProjObjectCache& ForThisThread();

  ProjObjectCache();
  ProjObjectCache(const ProjObjectCache&) = delete;
  ProjObjectCache& operator=(const ProjObjectCache&) = delete;
  ~ProjObjectCache();

  // The object for a definition, made on first use; nullptr when PROJ
  // refuses the definition.
  PJ* Find(const std::string& definition);

 private:
  struct Entry {
    std::string definition;
    PJ* object;
  };
  static constexpr std::size_t capacity = 16;

  PJ_CONTEXT* context_;
  std::vector<Entry> entries_;  // most recently used first
};

}  // namespace tarnwell
