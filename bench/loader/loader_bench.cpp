// Converts a generated article file with PLUZELKO and copies the same file
// with cat, side by side, and reports PLUZELKO's throughput against cat's and
// its peak memory against the size of the file it writes.
//
//   loader_bench [lines]      (default 1000000)
//
// Goals: at least half of cat's throughput; peak memory at most 1.5 times
// the output file. Exit status 0 when both are met.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "child_process.h"
#include "temp_folder.h"

namespace {

constexpr int kRounds = 5;

// Mostly articles: a third with short codes, the rest bar codes; now and then
// a type-13 line, a rejected line and a short line, as real exports have.
void WriteArticleFile(const std::string& path, long lines) {
  std::ofstream out(path, std::ios::binary);
  std::mt19937_64 random(11);
  const auto below = [&random](unsigned long long limit) { return static_cast<unsigned long long>(random() % limit); };
  char line[64];
  for (long i = 0; i < lines; ++i) {
    const auto pick = below(1000);
    const unsigned long long code = pick % 3 == 0 ? 1 + below(999999) : 1000000 + below(999999000000ULL);
    const char* type = pick == 0 ? "13" : pick == 1 ? "12" : "11";
    std::snprintf(line, sizeof line, "%s%012llu%-20.20s%08llu %llu%02llu0001", type, code,
                  ("ARTICOLO " + std::to_string(i)).c_str(), 1 + below(99999999), below(10), below(100));
    out << (pick == 2 ? "11SHORT" : line) << "\r\n";
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string Found(const std::vector<std::string>& candidates) {
  for (const auto& path : candidates) {
    if (std::filesystem::exists(path)) return path;
  }
  return candidates.front();
}

}  // namespace

int main(int argc, char** argv) {
  using zelko::testing::RunChild;
  const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
  const zelko::testing::TempFolder folder;
  const std::string program = folder.File("PLUZELKO");
  const std::string articles = folder.File("articoli.txt");
  const std::string copy = folder.File("copia.txt");
  const std::string output = folder.File("root/c/Scontrino.inp");
  std::filesystem::copy_file(PLUZELKO_PATH, program);
  folder.Write("config.cmd", "port=1\r\nbaud=115200\r\n");
  WriteArticleFile(articles, lines);
  const std::string cat = Found({"/bin/cat", "/usr/bin/cat"});
  const zelko::testing::Environment environment = {{"ZELKO_ROOT", folder.File("root")}};

  std::vector<double> catSeconds;
  std::vector<double> loaderSeconds;
  long peakKb = 0;
  for (int round = 0; round <= kRounds; ++round) {  // round 0 warms the caches
    std::filesystem::remove(copy);
    const auto copied = RunChild(cat, {articles}, {}, {}, copy);
    const auto converted = RunChild(program, {articles}, environment);
    if (copied.exitStatus != 0 || converted.exitStatus != 0) {
      std::fprintf(stderr, "cat ended with %d, PLUZELKO with %d\n", copied.exitStatus, converted.exitStatus);
      return 2;
    }
    if (round == 0) continue;
    catSeconds.push_back(copied.seconds);
    loaderSeconds.push_back(converted.seconds);
    peakKb = std::max(peakKb, converted.maxResidentKb);
  }

  const double inputMb = static_cast<double>(std::filesystem::file_size(articles)) / 1e6;
  const double outputMb = static_cast<double>(std::filesystem::file_size(output)) / 1e6;
  const double catRate = inputMb / Median(catSeconds);
  const double loaderRate = inputMb / Median(loaderSeconds);
  const double throughputRatio = loaderRate / catRate;
  const double memoryRatio = static_cast<double>(peakKb) * 1024 / 1e6 / outputMb;
  std::printf("article file      %ld lines, %.1f MB\n", lines, inputMb);
  std::printf("cat               %.3f s median of %d, %.0f MB/s\n", Median(catSeconds), kRounds, catRate);
  std::printf("PLUZELKO          %.3f s median of %d, %.0f MB/s\n", Median(loaderSeconds), kRounds, loaderRate);
  std::printf("throughput ratio  %.2f of cat (goal 0.50 or more): %s\n", throughputRatio,
              throughputRatio >= 0.5 ? "met" : "missed");
  std::printf("peak memory       %.1f MB for an output of %.1f MB: %.2f (goal 1.50 or less): %s\n",
              static_cast<double>(peakKb) * 1024 / 1e6, outputMb, memoryRatio, memoryRatio <= 1.5 ? "met" : "missed");
  return throughputRatio >= 0.5 && memoryRatio <= 1.5 ? 0 : 1;
}
