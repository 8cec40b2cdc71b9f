// Times whole processes: runs each of two commands over the same files, interleaved, with
// their output discarded, and prints the median and mean wall time per run and their ratio.
//   process-timer RUNS FILE... -- A_ARGV... -- B_ARGV...
// In A and B, "{}" stands for the file.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// One run with stdout and stderr sent to /dev/null; the wall time in microseconds, or -1.
double RunOnce(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  const auto end = Clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double, std::micro>(end - start).count();
}

std::vector<std::string> WithFile(const std::vector<std::string>& pattern, const std::string& file) {
  std::vector<std::string> argv = pattern;
  for (std::string& a : argv) {
    if (a == "{}") a = file;
  }
  return argv;
}

struct Stats {
  double median, mean;
};

Stats Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2], std::accumulate(samples.begin(), samples.end(), 0.0) / samples.size()};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files, a, b;
  int part = 0;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) {
      ++part;
      continue;
    }
    (part == 0 ? files : part == 1 ? a : b).push_back(argv[i]);
  }
  const int runs = argc > 1 ? std::atoi(argv[1]) : 0;
  if (runs <= 0 || files.empty() || a.empty() || b.empty()) {
    std::fprintf(stderr, "usage: process-timer RUNS FILE... -- A_ARGV... -- B_ARGV...\n");
    return 2;
  }
  std::vector<double> timesA, timesB;
  for (int r = 0; r < runs; ++r) {
    for (const std::string& file : files) {
      const double ta = RunOnce(WithFile(a, file));
      const double tb = RunOnce(WithFile(b, file));
      if (ta < 0 || tb < 0) {
        std::fprintf(stderr, "process-timer: a run failed on %s\n", file.c_str());
        return 1;
      }
      timesA.push_back(ta);
      timesB.push_back(tb);
    }
  }
  const Stats sa = Summarise(timesA), sb = Summarise(timesB);
  std::printf("%-10s %8zu runs  median %8.1f us  mean %8.1f us\n", a[0].substr(a[0].rfind('/') + 1).c_str(),
              timesA.size(), sa.median, sa.mean);
  std::printf("%-10s %8zu runs  median %8.1f us  mean %8.1f us\n", b[0].substr(b[0].rfind('/') + 1).c_str(),
              timesB.size(), sb.median, sb.mean);
  std::printf("ratio (first / second): median %.3f  mean %.3f\n", sa.median / sb.median, sa.mean / sb.mean);
  return 0;
}
