// The window capture under the offscreen platform: 200 key presses posted to a widget from
// another thread at set pauses of 1 to 50 ms; the pause between two records (stamped on the
// loop's millisecond clock when the filter takes them) against the pause set, as the maximum and
// the 99th percentile of |recorded - set|.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "platform/paths.h"
#include "platform/qt/qt_frontend.h"
#include "platform/qt/window_input_capture.h"

namespace brimvex::qt {
namespace {

void BM_WindowCapturePauses(benchmark::State& state) {
  if (!platform::GetEnv("QT_QPA_PLATFORM")) platform::SetEnv("QT_QPA_PLATFORM", "offscreen");
  auto frontend = CreateQtFrontend("Brimvex", "", nullptr);
  if (frontend == nullptr) {
    state.SkipWithError("no Qt frontend");
    return;
  }
  WindowInputCapture capture(frontend->Loop());
  QWidget widget;
  widget.resize(100, 100);
  widget.show();
  std::vector<platform::Millis> recorded;
  platform::CaptureSink sink;
  sink.key = [&](const platform::KeyRecord& r) { recorded.push_back(r.time); };
  capture.Start(sink, true, false);
  std::mt19937 random(2026);
  std::uniform_int_distribution<int> pause_ms(1, 50);
  std::vector<int> pauses(200);
  for (int& p : pauses) p = pause_ms(random);
  std::vector<double> errors;
  for (auto _ : state) {
    recorded.clear();
    std::thread poster([&] {
      auto at = std::chrono::steady_clock::now();
      for (std::size_t k = 0; k < pauses.size(); ++k) {
        at += std::chrono::milliseconds(pauses[k]);
        std::this_thread::sleep_until(at);
        // Linux key code 30 (A) as the X server numbers it; presses and releases in turn.
        QCoreApplication::postEvent(&widget, new QKeyEvent(k % 2 == 0 ? QEvent::KeyPress : QEvent::KeyRelease,
                                                           Qt::Key_A, Qt::NoModifier, 30 + 8, 0, 0));
      }
      QMetaObject::invokeMethod(qApp, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    poster.join();
    for (std::size_t k = 1; k < recorded.size() && k < pauses.size(); ++k)
      errors.push_back(std::abs(static_cast<double>((recorded[k] - recorded[k - 1]).count() - pauses[k])));
  }
  capture.Stop();
  if (errors.empty()) {
    state.SkipWithError("nothing was recorded");
    return;
  }
  std::sort(errors.begin(), errors.end());
  state.counters["records"] = static_cast<double>(recorded.size());
  state.counters["max_err_ms"] = errors.back();
  state.counters["p99_err_ms"] = errors[std::min(errors.size() - 1, errors.size() * 99 / 100)];
  state.counters["mean_err_ms"] = [&] {
    double sum = 0;
    for (double e : errors) sum += e;
    return sum / static_cast<double>(errors.size());
  }();
}
BENCHMARK(BM_WindowCapturePauses)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brimvex::qt
