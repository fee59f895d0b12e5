// The Qt side of the appearance: the picture probe refuses what is not a picture, a truncated
// picture and a huge one (by its header, without decoding it); the fonts fall back to a face
// with Chinese glyphs; a pop-up that the desktop closes tells its model.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QFontDatabase>
#include <QImage>
#include <array>
#include <fstream>

#include "platform/paths.h"
#include "platform/qt/qt_frontend.h"
#include "platform/qt/qt_image_probe.h"
#include "platform/qt/window_host_widget.h"
#include "platform/ui/container.h"
#include "platform/ui/resource_manager.h"
#include "test_support/temp_dir.h"

namespace brimvex::qt {
namespace {

using Status = platform::ImageProbeResult::Status;

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char ch : bytes) {
    crc ^= static_cast<unsigned char>(ch);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string BigEndian(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string Chunk(const std::string& type, const std::string& data) {
  return BigEndian(static_cast<std::uint32_t>(data.size())) + type + data + BigEndian(Crc32(type + data));
}

// A PNG of a few dozen bytes whose header says 20000 x 20000 pixels.
std::string HugeHeaderPng() {
  const std::string ihdr = BigEndian(20000) + BigEndian(20000) + std::string("\x08\x06\x00\x00\x00", 5);
  return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) + Chunk("IDAT", std::string("\x78\x9c\x03\x00", 4)) +
         Chunk("IEND", "");
}

std::string NoisePng() {
  QImage image(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) image.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (y * 53) % 256));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

TEST(QtImageProbe, RefusesWhatCannotBeShownWithoutDecodingHugePictures) {
  test::TempDir dir;
  const std::string good = NoisePng();
  struct Case {
    const char* name;
    std::string bytes;
    Status status;
  };
  const Case cases[] = {
      {"good.png", good, Status::kOk},
      {"named.jpg", good, Status::kOk},  // the content decides, not the name
      {"text.png", "this is text, not a picture\n", Status::kNotImage},
      {"truncated.png", good.substr(0, good.size() / 2), Status::kNotImage},
      {"huge.png", HugeHeaderPng(), Status::kTooLarge},
      {"empty.png", "", Status::kNotImage},
  };
  QtImageProbe probe;
  for (const Case& c : cases) {
    const std::string path = dir.folder() + c.name;
    std::ofstream(path, std::ios::binary) << c.bytes;
    const auto r = probe.Probe(path, platform::ImageLimits{});
    EXPECT_EQ(r.status, c.status) << c.name << ": " << r.reason;
  }
  EXPECT_LT(HugeHeaderPng().size(), 100u);
  EXPECT_EQ(probe.Probe(dir.folder() + "missing.png", {}).status, Status::kUnreadable);
  EXPECT_EQ(probe.Probe(dir.folder(), {}).status, Status::kUnreadable);
  // The file size limit comes before anything is read.
  platform::ImageLimits tiny;
  tiny.max_file_bytes = 16;
  EXPECT_EQ(probe.Probe(dir.folder() + "good.png", tiny).status, Status::kTooLarge);
  // Header only: a truncated picture with a sound header passes, as a recorded one may.
  platform::ImageLimits header_only;
  header_only.decode = false;
  EXPECT_EQ(probe.Probe(dir.folder() + "truncated.png", header_only).status, Status::kOk);
  EXPECT_EQ(probe.Probe(dir.folder() + "huge.png", header_only).status, Status::kTooLarge);
}

class QtAppearanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::GetEnv("QT_QPA_PLATFORM")) platform::SetEnv("QT_QPA_PLATFORM", "offscreen");
    frontend_ = CreateQtFrontend("Brimvex", Resources() + "skin/", nullptr);
    ASSERT_NE(frontend_, nullptr);
  }
  std::unique_ptr<ui::Frontend> frontend_;
  ui::ResourceManager resources_;
};

TEST_F(QtAppearanceTest, ChineseTextHasAFaceWithItsGlyphs) {
  const QStringList& fallback = WindowHostWidget::FallbackFamilies();
  const auto chinese = std::find_if(fallback.begin(), fallback.end(), [](const QString& family) {
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese);
  });
  if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
    GTEST_SKIP() << "no font with Chinese glyphs is installed (scripts/packages.txt has one)";
  EXPECT_NE(chinese, fallback.end()) << fallback.join(", ").toStdString();
  // The skin's face comes first, the fall-back after it.
  ui::Window window("MainWnd", &resources_, &frontend_->Loop());
  window.AttachRoot(std::make_unique<ui::VerticalLayout>());
  resources_.SetDefaultFont(ui::FontSpec{-1, "汉仪菱心体简", 14});
  window.SetHost(frontend_->CreateHost(window, ui::WindowStyle{}));
  const QFont font = static_cast<WindowHostWidget*>(window.Host())->FontFor(-1);
  ASSERT_GE(font.families().size(), 2);
  EXPECT_EQ(font.families().front(), QString("汉仪菱心体简"));
  EXPECT_TRUE(font.families().contains(*chinese));
}

TEST_F(QtAppearanceTest, APopUpClosedByTheDesktopTellsItsModel) {
  ui::Window owner("MainWnd", &resources_, &frontend_->Loop());
  owner.AttachRoot(std::make_unique<ui::VerticalLayout>());
  owner.SetHost(frontend_->CreateHost(owner, ui::WindowStyle{}));
  owner.Show(true);
  ui::Window popup("UISkinFrame", &resources_, &frontend_->Loop());
  popup.AttachRoot(std::make_unique<ui::VerticalLayout>());
  ui::WindowStyle style;
  style.owner = &owner;
  style.popup = true;
  popup.SetHost(frontend_->CreateHost(popup, style));
  int lost = 0;
  popup.SetFocusLostHandler([&] { ++lost; });
  popup.Host()->Move(120, 80);
  popup.Show(true);
  auto* widget = static_cast<WindowHostWidget*>(popup.Host());
  EXPECT_TRUE(widget->windowFlags().testFlag(Qt::Popup));
  EXPECT_EQ(widget->pos(), QPoint(120, 80));
  widget->close();  // what Qt does on a click outside a pop-up
  for (int i = 0; i < 5 && lost == 0; ++i) QApplication::processEvents();
  EXPECT_EQ(lost, 1);
  EXPECT_FALSE(popup.IsVisible());
}

}  // namespace
}  // namespace brimvex::qt
