#include "tools/zel/grep_tree.h"

#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "tools/zel/cli.h"
#include "tools/zel/grep_walk.h"
#include "zel/filesys/paths.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/internal/hostio.h"

namespace zel::cli {
namespace {

// Files open or waiting to be written at a time; the output a file not yet
// at the head of the order may hold before it waits for its turn; and the
// output of finished files waiting for their turn beyond which no thread
// starts another file but the head.
constexpr size_t kMaxWindow = 256;
constexpr size_t kMaxHeldOutput = 1 << 20;
constexpr size_t kMaxHeldTotal = 32 << 20;
// Files handed to the threads at a time, and the size of the writes.
constexpr size_t kBatch = 16;
constexpr size_t kWriteBlock = 64 * 1024;

void Report(const std::string& name, int err) {
  // One write per message, so that messages of several threads do not mix.
  const std::string line = "zel: grep: " + Quoted(name) + ": " + std::strerror(err) + "\n";
  [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, line.data(), line.size());
}

// Writes `data` to standard output; false with `err` set on failure.
bool WriteOut(const std::string& data, int& err) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      err = n < 0 ? errno : EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

struct Job {
  std::string name;
  int fd;
  bool owned;        // closed when searched (stdin is not)
  bool skip_binary;  // found in a tree
  std::string out;
  bool done = false;
};

// Searches jobs on a pool of threads (or on the submitting thread when it
// has none) and writes their output in the order they were submitted.
class OrderedSearch {
 public:
  explicit OrderedSearch(const GrepRun& run) : run_(run) {
    detail::FdFileId out;
    output_is_file_ = detail::IdentifyFd(STDOUT_FILENO, out) && out.regular;
    if (output_is_file_) output_ = out;
    for (int i = 0; i < run.threads; ++i) workers_.emplace_back([this] { Work(); });
  }
  ~OrderedSearch() { Finish(); }

  void Finish() {
    PushBatch();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : workers_) t.join();
    workers_.clear();
    std::lock_guard<std::mutex> lock(mutex_);
    FlushOutputLocked();
  }

  // Takes over `fd` (closed after the search when `owned`).
  void Submit(std::string name, int fd, bool owned, bool skip_binary) {
    // Reading the file the output goes to would feed the search its own
    // matches, without end when a match is appended faster than it is read.
    detail::FdFileId in;
    if (output_is_file_ && detail::IdentifyFd(fd, in) && in.device == output_.device &&
        in.inode == output_.inode) {
      const std::string line = "zel: grep: " + name + ": input file is also the output\n";
      [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, line.data(), line.size());
      NoteError();
      if (owned) ::close(fd);
      return;
    }
    auto job = std::make_unique<Job>(Job{std::move(name), fd, owned, skip_binary, {}});
    if (workers_.empty()) {
      if (!Stopped()) {
        if (!searchers_) searchers_ = std::make_unique<Searchers>(run_);
        const GrepFileResult result = Search(*searchers_, *job, 0, false);
        std::lock_guard<std::mutex> lock(mutex_);
        NoteResultLocked(result);
        WriteLocked(job->out);
      } else if (owned) {
        ::close(fd);
      }
      return;
    }
    // Jobs go to the threads a batch at a time: one wake-up per batch
    // rather than one per (often tiny) file.
    batch_.push_back(std::move(job));
    if (batch_.size() >= kBatch) PushBatch();
  }
  bool Stopped() const { return stop_.load(std::memory_order_relaxed); }
  void NoteError() {
    std::lock_guard<std::mutex> lock(mutex_);
    outcome_.error = true;
  }
  GrepOutcome Outcome() {
    std::lock_guard<std::mutex> lock(mutex_);
    return outcome_;
  }

 private:
  void PushBatch() {
    if (batch_.empty()) return;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return window_.size() < kMaxWindow || stop_; });
    if (stop_) {
      for (const auto& job : batch_) {
        if (job->owned) ::close(job->fd);
      }
    } else {
      for (auto& job : batch_) window_.push_back(std::move(job));
      changed_.notify_all();
    }
    batch_.clear();
  }

  // Adds `data` to the output (under the lock), written in large blocks
  // unless an earlier write failed.
  void WriteLocked(std::string& data) {
    if (outcome_.write_error == 0) pending_out_.append(data);
    data.clear();
    if (pending_out_.size() >= kWriteBlock) FlushOutputLocked();
  }
  void FlushOutputLocked() {
    if (!pending_out_.empty() && outcome_.write_error == 0 &&
        !WriteOut(pending_out_, outcome_.write_error)) {
      stop_ = true;
      changed_.notify_all();
    }
    pending_out_.clear();
  }

  // A searcher for files of a tree (binary ones skipped unless asked for)
  // and one for files named as operands.
  struct Searchers {
    explicit Searchers(const GrepRun& run)
        : tree(run.patterns, TreeOptions(run)), named(run.patterns, run.options) {}
    static GrepOptions TreeOptions(const GrepRun& run) {
      GrepOptions options = run.options;
      options.skip_binary = !run.binary;
      return options;
    }
    GrepSearcher tree;
    GrepSearcher named;
  };

  // Searches one job; `index` is its place in the order, `pooled` false on
  // the submitting thread (where each job is at the head when it runs).
  GrepFileResult Search(Searchers& searchers, Job& job, uint64_t index, bool pooled) {
    const std::function<void(std::string&)> flush = [&](std::string& out) {
      std::unique_lock<std::mutex> guard(mutex_);
      if (pooled) {
        if (index != base_ && out.size() < kMaxHeldOutput) return;
        changed_.wait(guard, [&] { return index == base_ || stop_; });
      }
      if (stop_) {
        out.clear();
        return;
      }
      WriteLocked(out);
    };
    GrepSearcher& searcher = job.skip_binary ? searchers.tree : searchers.named;
    const GrepFileResult result = searcher.SearchFd(job.fd, job.name, job.out, flush);
    if (job.owned) ::close(job.fd);
    if (result.error != 0) Report(job.name, result.error);
    return result;
  }

  // Adds what a search found to the outcome (under the lock).
  void NoteResultLocked(const GrepFileResult& result) {
    if (result.error != 0) outcome_.error = true;
    if (result.matches > 0) {
      outcome_.matched = true;
      if (run_.options.mode == GrepMode::kQuiet) {
        stop_ = true;
        changed_.notify_all();
      }
    }
  }

  void Work() {
    Searchers searchers(run_);
    std::unique_lock<std::mutex> lock(mutex_);
    const auto can_take = [&] {
      return next_ < base_ + window_.size() && (held_ < kMaxHeldTotal || next_ == base_);
    };
    for (;;) {
      changed_.wait(lock, [&] { return can_take() || (closing_ && next_ >= base_ + window_.size()); });
      if (!can_take()) return;
      const uint64_t index = next_++;
      Job& job = *window_[index - base_];
      if (stop_) {
        if (job.owned) ::close(job.fd);
        job.out.clear();
      } else {
        lock.unlock();
        const GrepFileResult result = Search(searchers, job, index, true);
        lock.lock();
        NoteResultLocked(result);
      }
      job.done = true;
      held_ += job.out.size();
      while (!window_.empty() && window_.front()->done) {
        held_ -= window_.front()->out.size();
        if (!stop_) WriteLocked(window_.front()->out);
        window_.pop_front();
        ++base_;
      }
      changed_.notify_all();
    }
  }

  const GrepRun& run_;
  bool output_is_file_ = false;
  detail::FdFileId output_;
  std::vector<std::thread> workers_;
  std::unique_ptr<Searchers> searchers_;  // without workers
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::unique_ptr<Job>> batch_;  // submitted, not yet handed to the threads
  std::deque<std::unique_ptr<Job>> window_;  // handed over, not yet written
  std::string pending_out_;                  // written output not yet passed to write(2)
  uint64_t base_ = 0;                        // the order index of window_.front()
  uint64_t next_ = 0;                        // the next job to search
  size_t held_ = 0;                          // output of finished jobs not yet written
  bool closing_ = false;
  std::atomic<bool> stop_{false};  // set under the lock; read without it by Stopped
  GrepOutcome outcome_;
};

}  // namespace

bool MatchesAnyMask(const std::vector<String>& masks, const String& name, const String& path) {
  for (const String& mask : masks) {
    const bool with_slash = mask.find(u'/') != String::npos;
    if (MatchesMask(with_slash ? path : name, mask)) return true;
  }
  return false;
}

GrepOutcome RunGrep(const std::vector<std::string>& operands, const GrepRun& run) {
  OrderedSearch search(run);
  for (const std::string& operand : operands) {
    if (search.Stopped()) break;
    if (operand == "-") {
      search.Submit("-", STDIN_FILENO, false, false);
      continue;
    }
    const std::string path = operand.empty() ? "." : operand;
    TFileInfo info;
    const bool is_dir = GetFileInfo(FileNameFromBytes(path), info) && (info.Attr & faDirectory);
    if (is_dir && run.recursive) {
      // No operand: paths relative to the current directory, as given.
      std::string prefix = operand.empty() ? "" : operand;
      if (!prefix.empty() && prefix.back() != '/') prefix += '/';
      TreeSearchHooks hooks;
      hooks.submit = [&](const std::string& name, int fd) { search.Submit(name, fd, true, true); };
      hooks.error = [&](const std::string& name, int err) {
        Report(name, err);
        search.NoteError();
      };
      hooks.stopped = [&] { return search.Stopped(); };
      SearchTree(path, prefix, run, hooks);
      continue;
    }
    if (is_dir) {
      Report(operand, EISDIR);
      search.NoteError();
      continue;
    }
    const int fd = detail::OpenFileFd(FileNameFromBytes(path), O_RDONLY);
    if (fd < 0) {
      Report(operand, errno);
      search.NoteError();
      continue;
    }
    search.Submit(operand, fd, true, false);
  }
  search.Finish();
  return search.Outcome();
}

}  // namespace zel::cli
