// The equaliser curve painted by the Qt frontend offscreen: the line follows the values it is
// given, from "min" at the bottom to "max" at the top.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "app/main_wnd.h"
#include "platform/paths.h"
#include "platform/qt/qt_frontend.h"
#include "platform/registered_messages.h"
#include "platform/ui/container.h"
#include "platform/ui/controls.h"

namespace brimvex::qt {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

bool Red(const QImage& image, int x, int y) {
  // The line is 2 pixels wide and antialiased: look two pixels around.
  for (int dy = -2; dy <= 2; ++dy) {
    const QColor c = image.pixelColor(x, y + dy);
    if (c.red() > 150 && c.green() < 90 && c.blue() < 90) return true;
  }
  return false;
}

TEST(ChartViewQt, TheCurveFollowsItsValues) {
  if (!platform::GetEnv("QT_QPA_PLATFORM")) platform::SetEnv("QT_QPA_PLATFORM", "offscreen");
  auto frontend = CreateQtFrontend("Brimvex", Resources() + "skin/", nullptr);
  ASSERT_NE(frontend, nullptr);
  ui::ResourceManager resources;
  ASSERT_TRUE(resources.LoadResource(Resources() + "skin/"));
  ui::ControlFactory factory;
  app::AppMessages messages;
  messages.app_instance = platform::RegisterWindowMessage(app::kAppInstanceName);
  app::RegisterGuidMessages(messages);
  auto wnd = std::make_unique<app::CMainWnd>(*frontend, resources, factory, messages, nullptr);
  std::string error;
  ASSERT_TRUE(wnd->Create(&error)) << error;
  auto chart = std::make_unique<ui::ChartView>();
  ASSERT_TRUE(chart->SetAttribute("float", "true"));
  ASSERT_TRUE(chart->SetAttribute("pos", "100,200,180,80"));
  ASSERT_TRUE(chart->SetAttribute("bkcolor", "#FF000000"));
  ASSERT_TRUE(chart->SetAttribute("forecolor", "#FFFF0000"));
  ui::ChartView* curve = chart.get();
  dynamic_cast<ui::Container*>(wnd->Window().Root())->Add(std::move(chart));

  // Ten bands: x of band k is 100 + 20 k; y runs from 279 (-20) to 200 (20).
  struct Case {
    std::vector<int> values;
    std::vector<std::pair<int, int>> points;  // (band, y) the line passes through
  };
  const Case cases[] = {
      {{-20, -20, -20, -20, -20, 20, 20, 20, 20, 20}, {{1, 279}, {8, 200}}},
      {{20, 20, 20, 20, 20, -20, -20, -20, -20, -20}, {{1, 200}, {8, 279}}},
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, 10}, {{2, 239}, {5, 239}}},
  };
  for (const auto& c : cases) {
    curve->SetValues(c.values);
    QApplication::processEvents();
    const std::string png = "chart_view.png";
    ASSERT_TRUE(RenderWindowToPng(wnd->Window(), png));
    const QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    for (const auto& [band, y] : c.points) {
      const int x = 100 + 20 * band;
      EXPECT_TRUE(Red(image, x, y)) << "band " << band << " y " << y;
      // Far from the line the chart stays dark.
      EXPECT_FALSE(Red(image, x, y < 240 ? 270 : 210)) << "band " << band;
    }
  }
  wnd.reset();
}

}  // namespace
}  // namespace brimvex::qt
