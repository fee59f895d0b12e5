// Building the main window's layout from the skin and laying it out: the model's share of the
// start-up time.
#include <benchmark/benchmark.h>

#include "platform/ui/dialog_builder.h"
#include "platform/ui/layout_engine.h"

namespace brimvex::ui {
namespace {

void BM_BuildMainWindow(benchmark::State& state) {
  ResourceManager resources;
  resources.LoadResource(std::string(BRIMVEX_SOURCE_RESOURCES) + "skin/");
  ControlFactory factory;
  DialogBuilder builder(resources, factory);
  for (auto _ : state) {
    Window w("MainWnd", &resources, nullptr);
    if (!builder.BuildWindow(w, "XML_MAIN", nullptr)) state.SkipWithError("the skin does not build");
    benchmark::DoNotOptimize(w.Root());
  }
}
BENCHMARK(BM_BuildMainWindow);

void BM_LayoutMainWindow(benchmark::State& state) {
  ResourceManager resources;
  resources.LoadResource(std::string(BRIMVEX_SOURCE_RESOURCES) + "skin/");
  ControlFactory factory;
  DialogBuilder builder(resources, factory);
  Window w("MainWnd", &resources, nullptr);
  if (!builder.BuildWindow(w, "XML_MAIN", nullptr)) state.SkipWithError("the skin does not build");
  const int dpi = static_cast<int>(state.range(0));
  for (auto _ : state) {
    LayoutMap map;
    ComputeLayout(*w.Root(), Rect{0, 0, 800 * dpi / 96, 572 * dpi / 96}, dpi, map);
    benchmark::DoNotOptimize(map.size());
  }
}
BENCHMARK(BM_LayoutMainWindow)->Arg(96)->Arg(144);

}  // namespace
}  // namespace brimvex::ui
