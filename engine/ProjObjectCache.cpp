#include "engine/ProjObjectCache.h"

#include <algorithm>

namespace tarnwell {

ProjObjectCache& ProjObjectCache::ForThisThread() {
  thread_local ProjObjectCache cache;
  return cache;
}

ProjObjectCache::ProjObjectCache() : context_(proj_context_create()) {
  // A refused definition is reported by the engine in the user's words.
  proj_log_level(context_, PJ_LOG_NONE);
}

ProjObjectCache::~ProjObjectCache() {
  for (Entry& entry : entries_) proj_destroy(entry.object);
  proj_context_destroy(context_);
}

PJ* ProjObjectCache::Find(const std::string& definition) {
  const auto hit = std::find_if(entries_.begin(), entries_.end(),
                                [&](const Entry& entry) { return entry.definition == definition; });
  if (hit != entries_.end()) {
    std::rotate(entries_.begin(), hit, hit + 1);
    return entries_.front().object;
  }
  PJ* object = proj_create(context_, definition.c_str());
  if (object == nullptr) return nullptr;
  if (entries_.size() == capacity) {
    proj_destroy(entries_.back().object);
    entries_.pop_back();
  }
  entries_.insert(entries_.begin(), Entry{definition, object});
  return object;
}

}  // namespace tarnwell
