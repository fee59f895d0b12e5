// The window capture under the offscreen platform: 200 key presses posted to a widget from
// another thread at set pauses of 1 to 50 ms; the pause between two records against the pause
// set, as the maximum and the 99th percentile of |recorded - set|. Stamped: each event carries the
// moment it was posted on CLOCK_MONOTONIC in 32 bits, as the X server stamps input. Unstamped: the
// events carry no time, so the records lie where the UI thread took them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/paths.h"
#include "platform/qt/qt_frontend.h"
#include "platform/qt/window_input_capture.h"

namespace brimvex::qt {
namespace {

void BM_WindowCapturePauses(benchmark::State& state, bool stamped) {
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
  std::vector<double> against_set, against_posted;
  std::vector<long long> posted(pauses.size());
  for (auto _ : state) {
    recorded.clear();
    std::thread poster([&] {
      auto at = std::chrono::steady_clock::now();
      for (std::size_t k = 0; k < pauses.size(); ++k) {
        at += std::chrono::milliseconds(pauses[k]);
        std::this_thread::sleep_until(at);
        posted[k] = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch()).count();
        // Linux key code 30 (A) as the X server numbers it; presses and releases in turn.
        auto* e = new QKeyEvent(k % 2 == 0 ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, 30 + 8, 0, 0);
        if (stamped) e->setTimestamp(static_cast<std::uint32_t>(posted[k]));
        QCoreApplication::postEvent(&widget, e);
      }
      QMetaObject::invokeMethod(qApp, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    poster.join();
    for (std::size_t k = 1; k < recorded.size() && k < pauses.size(); ++k) {
      const long long pause = (recorded[k] - recorded[k - 1]).count();
      against_set.push_back(std::abs(static_cast<double>(pause - pauses[k])));
      against_posted.push_back(std::abs(static_cast<double>(pause - (posted[k] - posted[k - 1]))));
    }
  }
  capture.Stop();
  if (against_set.empty()) {
    state.SkipWithError("nothing was recorded");
    return;
  }
  state.counters["records"] = static_cast<double>(recorded.size());
  // Against the pauses set (the poster's own wake-up delays included) and against the pauses
  // between the moments the events were posted (the capture's own error).
  auto report = [&](std::vector<double>& errors, const std::string& name) {
    std::sort(errors.begin(), errors.end());
    double sum = 0;
    for (double e : errors) sum += e;
    state.counters["max_err_ms" + name] = errors.back();
    state.counters["p99_err_ms" + name] = errors[std::min(errors.size() - 1, errors.size() * 99 / 100)];
    state.counters["mean_err_ms" + name] = sum / static_cast<double>(errors.size());
  };
  report(against_set, "");
  report(against_posted, "_posted");
}
BENCHMARK_CAPTURE(BM_WindowCapturePauses, Stamped, true)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowCapturePauses, Unstamped, false)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brimvex::qt
