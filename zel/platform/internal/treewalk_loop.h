// zel/platform/internal/treewalk_loop.h — the walk of a tree that both
// hosts' walkers run (treewalk_posix.cpp on directory descriptors,
// treewalk_win32.cpp on directory handles): iterative, one level per
// directory on the path from the start, each directory's other entries
// before its subdirectories, a subdirectory examined again just before it
// is entered and entered only while it is still a directory.
//
// `Host` supplies the types and the few host calls:
//
//   struct Host {
//     using Dir = ...;    using Entry = ...;  using Id = ...;
//     using Path = ...;   using Chain = ...;  using Visitor = ...;
//     static constexpr typename Path::value_type kSep = ...;
//     static Dir Top(const Chain&);            // the top's directory
//     static bool Valid(Dir);                  // false: the top could not be reached
//     static bool IsDir(const Entry&);         // listed as a directory
//     static int List(Dir, std::vector<Entry>&);
//     // Looks at the listed subdirectory again: kEnter (a directory, `id`
//     // set), kGone, kNotDir (no longer one: `e` updated to what it is now)
//     // or an errno value.
//     static int Examine(const Chain&, Dir, Entry& e, Id& id);
//   };
#ifndef ZEL_PLATFORM_INTERNAL_TREEWALK_LOOP_H_
#define ZEL_PLATFORM_INTERNAL_TREEWALK_LOOP_H_

#include <cerrno>
#include <cstddef>
#include <utility>
#include <vector>

namespace zel::detail {

enum WalkExamine : int { kWalkEnter = 0, kWalkGone = -1, kWalkNotDir = -2 };

// Walks the tree below the chain's started bottom; see treewalk_posix.h's
// `WalkTree` for what the visitor is told.
template <typename Host>
bool WalkTreeLoop(typename Host::Chain& chain, typename Host::Visitor& visitor, bool subdirs) {
  using Entry = typename Host::Entry;
  using Path = typename Host::Path;
  // One level per directory on the path from the start: its subdirectories
  // still to walk, and how it was entered.
  struct Level {
    std::vector<Entry> dirs;
    size_t next = 0;
    size_t rel_len = 0;  // the length of the parent's path
    Entry self;
    bool complete = true;
  };
  std::vector<Level> levels;
  Path rel;
  bool all_listed = true;
  std::vector<Entry> entries;

  // Lists the top directory: its other entries go to the visitor at once,
  // its subdirectories wait in the level.
  auto list = [&](Level& level) {
    visitor.OnDir(rel);
    entries.clear();
    if (const int err = Host::List(Host::Top(chain), entries)) {
      visitor.OnError(rel, err);
      level.complete = all_listed = false;
    }
    for (Entry& e : entries) {
      if (visitor.Stopped()) {
        level.complete = false;
        break;
      }
      if (!Host::IsDir(e)) {
        visitor.OnEntry(Host::Top(chain), e, rel);
      } else if (subdirs) {
        level.dirs.push_back(std::move(e));
      }
    }
  };

  levels.emplace_back();
  list(levels.back());
  for (;;) {
    Level& level = levels.back();
    const auto dir = Host::Top(chain);
    if (Host::Valid(dir) && level.next < level.dirs.size() && !visitor.Stopped()) {
      Entry& e = level.dirs[level.next++];
      if (!visitor.WantDir(dir, e, rel)) continue;
      typename Host::Id id;
      const int seen = Host::Examine(chain, dir, e, id);
      if (seen == kWalkGone) continue;
      if (seen == kWalkNotDir) {
        // No longer a directory (a link or a file took its place): it is
        // met as what it is now, and never entered.
        visitor.OnEntry(dir, e, rel);
        continue;
      }
      if (seen != kWalkEnter) {
        visitor.OnError(rel + e.name + Host::kSep, seen);
        level.complete = all_listed = false;
        continue;
      }
      if (const int err = chain.Push(e.name, &id)) {
        visitor.OnError(rel + e.name + Host::kSep, err);
        level.complete = all_listed = false;
        continue;
      }
      if (!visitor.EnterDir(dir, e, id, rel)) {
        chain.Pop();
        level.complete = false;
        continue;
      }
      Level child;
      child.rel_len = rel.size();
      child.self = std::move(e);
      rel += child.self.name;
      rel += Host::kSep;
      levels.push_back(std::move(child));
      list(levels.back());
      continue;
    }
    // This directory is done, or the walk ends, or it can no longer be
    // reached: climb back to its parent.
    if (!Host::Valid(dir)) {
      visitor.OnError(rel, ESTALE);
      level.complete = all_listed = false;
    }
    if (level.next < level.dirs.size()) level.complete = false;
    if (levels.size() == 1) break;
    Level done = std::move(levels.back());
    levels.pop_back();
    rel.resize(done.rel_len);
    const int err = chain.Pop();
    if (err != 0) all_listed = false;
    if (!done.complete || err != 0) levels.back().complete = false;
    visitor.LeaveDir(Host::Top(chain), done.self, rel, done.complete);
  }
  return all_listed;
}

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_TREEWALK_LOOP_H_
