// Writes the bundled sample recording (8 leads, 10 s), or another of its kind.
//
//   generate_sample OUTPUT [LEADS SECONDS [SEED]]
//
// Without a seed it writes the bundled sample; other seeds give other
// recordings of the same kind (the benchmarks make sets of them).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "sample_recording.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: generate_sample OUTPUT [LEADS SECONDS [SEED]]\n");
    return 2;
  }
  const int leads = argc >= 4 ? std::atoi(argv[2]) : 8;
  const int seconds = argc >= 4 ? std::atoi(argv[3]) : 10;
  const std::uint64_t seed = argc == 5 ? std::strtoull(argv[4], nullptr, 10) : 0;
  if (leads < 1 || leads > 20 || seconds < 1 || seconds > 30) {
    std::fprintf(stderr, "generate_sample: 1-20 leads, 1-30 seconds\n");
    return 2;
  }
  std::ofstream file(argv[1], std::ios::binary);
  file << telmor::sample_recording_text(leads, seconds, seed);
  return file ? 0 : 1;
}
