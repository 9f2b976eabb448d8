#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "saver/command/face_pictures.h"
#include "saver/command/image_buffer.h"
#include "saver/command/property_store.h"
#include "saver/command/slice_geometry.h"
#include "saver/host/font_description.h"

namespace velmora {

// What a Command button needs from the window that carries it.
class CommandHost {
  public:
    virtual ~CommandHost() = default;
    // A persisted property changed; the name is the property's own.
    virtual void NotifyPropertyChanged(std::string_view name) = 0;
    // The button's image was drawn into: show it again.
    virtual void RefreshImage() = 0;
    // The caption's text, font, colour, enabled look or place changed.
    virtual void CaptionChanged() = 0;
    // From now on, call HoverPollTick once every interval.
    virtual void StartHoverPoll(std::chrono::milliseconds interval) = 0;
    virtual void RaiseClick() = 0;
};

// The button's visual state; Uninitialized until the form calls Initialize.
enum class CommandState : std::uint8_t {
    Uninitialized = 0,
    Idle = 1,          // neither focused nor under the pointer
    Hover = 2,         // under the pointer, not focused
    Focused = 3,       // focused, not under the pointer
    FocusedHover = 4,  // focused and under the pointer
};

// Mouse button values as the handlers take them; buttons held together add up.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// The label that shows the caption over the face. It has no window of its own: the pointer
// over it counts as over the button, and its mouse events are the button's.
struct CaptionLabel {
    std::string text;
    FontDescription font;
    std::uint32_t colour = 0;                         // 0x00BBGGRR
    bool enabled = true;                              // false draws the text in the disabled style
    double left = 0, top = 0, width = 0, height = 0;  // twips
};

// The owner-drawn push button of the settings dialog: a small state machine driven by mouse,
// focus and a pointer poll, drawing one of six face pictures over a gradient into its image.
// It has no keyboard handling. While not enabled it still takes focus and mouse events but
// ignores them.
class Command {
  public:
    static constexpr std::chrono::milliseconds kHoverPollInterval{100};

    explicit Command(CommandHost& host);
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    // Properties. Every setter tells the host which one changed. Reading Enabled, FontColour
    // or a non-zero Visible repaints the face (Normal or Disable) and keeps the state.
    std::string Caption() const { return label_.text; }
    void SetCaption(std::string caption);
    const FontDescription& Font() const { return label_.font; }
    void SetFont(const FontDescription& font);
    std::uint32_t FontColour();
    // A colour outside 0x00000000 to 0x00FFFFFF is refused: only the face is refreshed.
    void SetFontColour(std::uint32_t colour);
    bool Enabled();
    void SetEnabled(bool enabled);
    // 0 while the button's surface is transparent (face not shown, caption still shown),
    // 255 while it is opaque.
    std::uint8_t Visible();
    void SetVisible(std::uint8_t visible);

    // Called once by the form that carries the button: starts the state machine and the poll.
    void Initialize();

    // The persisted properties, as the form loads and saves them. A stored value that does not
    // convert is skipped and the property keeps its value.
    void ReadProperties(const PropertyStore& store, const FontDescription& ambient_font);
    void WriteProperties(PropertyStore& store, const FontDescription& ambient_font);

    // Events of the carrying window. Button values are kLeftButton and the like.
    void Resize(int width_pixels, int height_pixels);
    void MouseMove();
    void MouseDown(int button);
    void MouseUp(int button);
    void GotFocus();
    void LostFocus();
    void HoverPollTick(bool pointer_over_button);

    // Repaints the whole button with a face picture over the gradient.
    void PaintFace(Face face);
    // Fills the whole image with the gradient, in the direction GradientReversed gives.
    void FillGradient();

    const ImageBuffer& image() const noexcept { return image_; }
    bool opaque() const noexcept { return background_style_ != 0; }
    const CaptionLabel& caption_label() const noexcept { return label_; }

    CommandState ButtonState() const noexcept { return button_state_; }
    bool ButtonHeld() const noexcept { return button_held_; }
    std::uint8_t FirstRun() const noexcept { return first_run_; }
    const SliceGeometry& slice_geometry() const noexcept { return slice_geometry_; }
    // The face of the last paint; none before the first.
    std::optional<Face> shown_face() const noexcept { return shown_face_; }

  private:
    // True and False as the enabled flag holds them.
    static constexpr std::int16_t kTrue = -1;
    static constexpr std::int16_t kFalse = 0;

    bool enabled() const noexcept { return enabled_flag_ != kFalse; }
    double width_twips() const noexcept;
    double height_twips() const noexcept;
    void ApplyEnabled();
    void RefreshEnabledFace();
    void LeaveHover();

    CommandHost& host_;
    bool gradient_reversed_ = false;
    std::uint8_t first_run_ = 0;
    std::int16_t enabled_flag_ = kFalse;
    CommandState button_state_ = CommandState::Uninitialized;
    SliceGeometry slice_geometry_;
    bool button_held_ = false;
    std::int16_t background_style_ = 1;  // 0 transparent, 1 opaque
    ImageBuffer image_;
    CaptionLabel label_;
    std::optional<Face> shown_face_;
};

}  // namespace velmora
