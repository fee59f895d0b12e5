// One enumeration pass of the discovery over 50 hidraw nodes of a fake sysfs tree: the hidraw
// adapter reads each node's uevent, report descriptor and interface number and names one path
// per top-level collection; HidInterface builds its path list and hands every path out.
#include <benchmark/benchmark.h>

#include "emulator/descriptors.h"
#include "emulator/emulator.h"
#include "emulator/fake_hidraw_tree.h"
#include "hid/hid_interface.h"
#include "platform/hidraw/hidraw_backend.h"
#include "test_support/temp_dir.h"

namespace {

using brimvex::emulator::Link;
using brimvex::emulator::Product;

void BM_EnumerationPass50Nodes(benchmark::State& state) {
  brimvex::test::TempDir dir;
  brimvex::emulator::Emulator machine;
  const Product products[] = {Product::kKeyboard, Product::kMouse, Product::kMousePad, Product::kHeadset};
  for (int i = 0; i < 50; ++i) machine.AddDevice(products[i % 4]).Plug(Link::kCable);
  brimvex::emulator::FakeHidrawTree tree(machine, dir.path());
  brimvex::platform::hidraw::HidrawBackend backend({tree.sysfs_root(), tree.dev_root()});
  brimvex::hid::HidInterface list(backend);
  std::size_t paths = 0;
  for (auto _ : state) {
    if (!list.Enumerate()) state.SkipWithError("enumeration failed");
    paths = 0;
    while (auto p = list.NextPath()) {
      benchmark::DoNotOptimize(p->data());
      ++paths;
    }
    list.FreePathList();
  }
  state.counters["paths"] = static_cast<double>(paths);
}
BENCHMARK(BM_EnumerationPass50Nodes)->Unit(benchmark::kMicrosecond);

// The parser's share of a pass: one interface-1 descriptor (four collections) parsed.
void BM_ParseInterfaceDescriptor(benchmark::State& state) {
  const auto bytes = brimvex::emulator::KeyboardInterfaceDescriptor();
  for (auto _ : state) benchmark::DoNotOptimize(brimvex::hid::ParseReportDescriptor(bytes));
}
BENCHMARK(BM_ParseInterfaceDescriptor)->Unit(benchmark::kMicrosecond);

}  // namespace
