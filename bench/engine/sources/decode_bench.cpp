// Decodes the 10-minute MP3 through OpenFileSource and through
// `ffmpeg -i file -f null -` in the same run and prints both speeds.
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/source.h"

namespace {

double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Run {
  double wall;
  double cpu;
};

Run DecodeOurs(const std::string& path, double* audioSeconds) {
  double wall = Now();
  double cpu = CpuSeconds(RUSAGE_SELF);
  auto source = qmb::engine::OpenFileSource(path, nullptr);
  if (source == nullptr) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(1);
  }
  std::vector<float> block(4096 * 2);
  std::int64_t frames = 0;
  while (std::size_t n = source->Read(block.data(), 4096)) frames += static_cast<std::int64_t>(n);
  *audioSeconds = static_cast<double>(frames) / source->SampleRate();
  return {Now() - wall, CpuSeconds(RUSAGE_SELF) - cpu};
}

Run DecodeWithFfmpeg(const std::string& path) {
  double wall = Now();
  double cpu = CpuSeconds(RUSAGE_CHILDREN);
  std::string command = "ffmpeg -hide_banner -loglevel error -nostdin -i '" + path + "' -f null -";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "ffmpeg failed\n");
  return {Now() - wall, CpuSeconds(RUSAGE_CHILDREN) - cpu};
}

}  // namespace

int main(int argc, char** argv) {
  std::string path = argc > 1 ? argv[1] : std::string(QMB_FIXTURE_DIR) + "/noise_600s.mp3";
  const int rounds = 3;
  Run best{1e9, 1e9};
  Run bestPeer{1e9, 1e9};
  double seconds = 0;
  for (int i = 0; i < rounds; ++i) {
    Run ours = DecodeOurs(path, &seconds);
    Run peer = DecodeWithFfmpeg(path);
    if (ours.wall < best.wall) best = ours;
    if (peer.wall < bestPeer.wall) bestPeer = peer;
  }
  std::printf("file: %s (%.1f s of audio), best of %d\n", path.c_str(), seconds, rounds);
  std::printf("OpenFileSource : %6.3f s wall, %6.3f s CPU, %6.0f x real time\n", best.wall,
              best.cpu, seconds / best.wall);
  std::printf("ffmpeg -f null : %6.3f s wall, %6.3f s CPU, %6.0f x real time\n", bestPeer.wall,
              bestPeer.cpu, seconds / bestPeer.wall);
  std::printf("ratio (ours / ffmpeg speed): %.2f\n", bestPeer.wall / best.wall);
  // Opening counts the MP3's packets for its exact length.
  double open = Now();
  auto source = qmb::engine::OpenFileSource(path, nullptr);
  std::printf("open with exact length: %.3f s\n", Now() - open);
  return 0;
}
