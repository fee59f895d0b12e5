#pragma once
// The colour chooser a page opens for one colour (a resolution stage's colour). The window
// frontend provides the real dialog; tests use ScriptedColorChooser.
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace brimvex::platform {

class ColorChooser {
 public:
  virtual ~ColorChooser() = default;
  // The chosen colour as 0xFFRRGGBB, starting from `initial`; nullopt when cancelled.
  virtual std::optional<std::uint32_t> Choose(std::uint32_t initial) = 0;
};

// Answers from a list prepared by a test (cancels once it runs out); records what it was shown.
class ScriptedColorChooser final : public ColorChooser {
 public:
  void Answer(std::optional<std::uint32_t> color) { answers_.push_back(color); }
  std::optional<std::uint32_t> Choose(std::uint32_t initial) override;
  const std::vector<std::uint32_t>& Shown() const { return shown_; }

 private:
  std::deque<std::optional<std::uint32_t>> answers_;
  std::vector<std::uint32_t> shown_;
};

// The chooser of the running program (a scripted one that cancels until a frontend sets one).
ColorChooser& CurrentColorChooser();
void SetCurrentColorChooser(ColorChooser* chooser);

}  // namespace brimvex::platform
