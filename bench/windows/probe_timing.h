// Timing for the Windows probes: each run is timed on its own, untimed preparation before it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace scrivora::bench {

inline double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

struct Figure {
  double fastest = 0;
  double slowest = 0;
  double median = 0;
  double p95 = 0;
  double first = 0;  // the first run, before any cache of the control is warm
};

// Runs `prepare` untimed before each timed `run`; PROBE_VERBOSE prints every time.
template <class Prepare, class Run>
Figure Time(Prepare prepare, Run run, int repeats) {
  std::vector<double> times;
  for (int i = 0; i < repeats; ++i) {
    prepare();
    LARGE_INTEGER from, to;
    QueryPerformanceCounter(&from);
    run();
    QueryPerformanceCounter(&to);
    times.push_back(Milliseconds(from, to));
  }
  if (std::getenv("PROBE_VERBOSE")) {
    for (double t : times) std::printf(" %.1f", t);
    std::printf("\n");
  }
  const double first = times.front();
  std::sort(times.begin(), times.end());
  return {times.front(), times.back(), times[times.size() / 2], times[times.size() * 95 / 100],
          first};
}

template <class Run>
Figure Time(Run run, int repeats) {
  return Time([] {}, run, repeats);
}

}  // namespace scrivora::bench
