#pragma once
// The report-descriptor fuzzer's seed corpus (fuzz/corpus/report_descriptor/) is made from the
// descriptors of the tests. A seed is a 16-bit little-endian descriptor length, the descriptor,
// then per collection a length byte and one report as long as one of the collection's reports
// (ID byte, then 0x01s; none when the length is 0).
// The tests check that the committed seeds are current; BRIMVEX_WRITE_SEED_CORPUS=1 rewrites them.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace brimvex::test {

struct SeedReport {
  std::uint16_t length = 0;  // a report length of the collection, ID byte included
  std::uint8_t report_id = 0;
};

inline std::vector<std::uint8_t> DescriptorSeed(std::span<const std::uint8_t> descriptor,
                                                const std::vector<SeedReport>& reports) {
  std::vector<std::uint8_t> seed;
  seed.reserve(2 + descriptor.size());
  seed.push_back(static_cast<std::uint8_t>(descriptor.size()));
  seed.push_back(static_cast<std::uint8_t>(descriptor.size() >> 8));
  for (std::uint8_t b : descriptor) seed.push_back(b);
  for (const SeedReport& r : reports) {
    if (r.length == 0) continue;
    seed.push_back(static_cast<std::uint8_t>(r.length));
    seed.push_back(r.report_id);
    seed.insert(seed.end(), r.length - 1u, 0x01);
  }
  return seed;
}

// "" when fuzz/corpus/report_descriptor/<name> holds `seed` (after writing it, when asked),
// else what is wrong.
inline std::string CheckSeed(const std::string& name, const std::vector<std::uint8_t>& seed) {
  const char* resources = std::getenv("BRIMVEX_RESOURCES");
  if (resources == nullptr) return "BRIMVEX_RESOURCES is not set";
  const auto path = std::filesystem::path(resources).parent_path() / "fuzz/corpus/report_descriptor" / name;
  if (const char* write = std::getenv("BRIMVEX_WRITE_SEED_CORPUS"); write != nullptr && write[0] == '1') {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(seed.data()), static_cast<std::streamsize>(seed.size()));
    if (!out.good()) return "cannot write " + path.string();
  }
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> stored{std::istreambuf_iterator<char>(in), {}};
  if (stored != seed) return path.string() + " is missing or stale: run the test with BRIMVEX_WRITE_SEED_CORPUS=1";
  return "";
}

}  // namespace brimvex::test
