#include "saver/command/command.h"

#include <utility>

namespace velmora {
namespace {

// The button's size as designed, in twips.
constexpr int kDesignWidth = 1755;
constexpr int kDesignHeight = 420;

// The caption label as designed, in twips.
constexpr const char* kDesignCaption = "Command";
constexpr double kLabelDesignTop = 90;
constexpr double kLabelDesignWidth = 1635;
constexpr double kLabelDesignHeight = 195;
// Twice the distance the caption sits above the middle of the button.
constexpr double kCaptionLift = 20;

// The persisted properties, also the names the host is told about.
constexpr const char* kEnabledProperty = "Enabled";
constexpr const char* kCaptionProperty = "Caption";
constexpr const char* kFontProperty = "Font";
constexpr const char* kFirstRunProperty = "FirstRun";
constexpr const char* kFontColourProperty = "FontColour";
constexpr const char* kVisibleProperty = "Visible";

// Defaults of the stored values, as a form file writes them. One caption default serves both
// directions, so a caption survives a save and reload whatever it is.
constexpr const char* kEnabledDefault = "True";
constexpr const char* kFalseText = "False";
constexpr const char* kCaptionDefault = kDesignCaption;
constexpr const char* kFirstRunDefault = "1";
constexpr const char* kFontColourDefault = "0";
constexpr const char* kVisibleDefault = "1";

constexpr std::uint32_t kBlack = 0;
// A label's text colour is a plain 0x00BBGGRR value.
constexpr std::uint32_t kColourMask = 0x00FFFFFF;

// The gradient's two colours: white and a light lavender grey, as 16-bit channel values.
constexpr ImageBuffer::GradientVertex kGradientLight{
    .red = 0xFF00, .green = 0xFF00, .blue = 0xFF00};
constexpr ImageBuffer::GradientVertex kGradientShade{
    .red = 0xC600, .green = 0xC500, .blue = 0xD700};

ImageBuffer::GradientVertex At(ImageBuffer::GradientVertex colour, int x, int y) {
    colour.x = x;
    colour.y = y;
    return colour;
}

}  // namespace

Command::Command(CommandHost& host)
    : host_(host),
      image_(kDesignWidth / kTwipsPerPixel, kDesignHeight / kTwipsPerPixel, kDialogFaceColour),
      label_{.text = kDesignCaption,
             .font = DesignFontDescription(),
             .colour = kBlack,
             .enabled = true,
             .left = 0,
             .top = kLabelDesignTop,
             .width = kLabelDesignWidth,
             .height = kLabelDesignHeight} {}

double Command::width_twips() const noexcept {
    return static_cast<double>(image_.width()) * kTwipsPerPixel;
}

double Command::height_twips() const noexcept {
    return static_cast<double>(image_.height()) * kTwipsPerPixel;
}

void Command::SetCaption(std::string caption) {
    label_.text = std::move(caption);
    host_.CaptionChanged();
    host_.NotifyPropertyChanged(kCaptionProperty);
}

void Command::SetFont(const FontDescription& font) {
    label_.font = font;
    host_.CaptionChanged();
    host_.NotifyPropertyChanged(kFontProperty);
}

std::uint32_t Command::FontColour() {
    const std::uint32_t colour = label_.colour;
    RefreshEnabledFace();
    return colour;
}

void Command::SetFontColour(std::uint32_t colour) {
    if ((colour & ~kColourMask) != 0) {
        RefreshEnabledFace();
        return;
    }
    label_.colour = colour;
    host_.CaptionChanged();
    RefreshEnabledFace();
    host_.NotifyPropertyChanged(kFontColourProperty);
}

bool Command::Enabled() {
    // A button that was never stored or read starts disabled; its first reading enables it.
    if (first_run_ == 0) {
        RefreshEnabledFace();
        first_run_ = 1;
        enabled_flag_ = kTrue;
    }
    const bool result = enabled();
    ApplyEnabled();
    return result;
}

void Command::SetEnabled(bool enabled) {
    enabled_flag_ = enabled ? kTrue : kFalse;
    host_.NotifyPropertyChanged(kEnabledProperty);
    ApplyEnabled();
}

std::uint8_t Command::Visible() {
    if (background_style_ == 0) {
        return 0;
    }
    RefreshEnabledFace();
    return 255;
}

void Command::SetVisible(std::uint8_t visible) {
    if (visible != 0) {
        background_style_ = 1;
        RefreshEnabledFace();
    } else {
        background_style_ = 0;
    }
    host_.RefreshImage();
    host_.NotifyPropertyChanged(kVisibleProperty);
}

void Command::Initialize() {
    button_state_ = CommandState::Idle;
    host_.StartHoverPoll(kHoverPollInterval);
}

void Command::ReadProperties(const PropertyStore& store, const FontDescription& ambient_font) {
    if (const auto flag = AsBoolean(store.Read(kEnabledProperty, kEnabledDefault))) {
        enabled_flag_ = *flag ? kTrue : kFalse;
    }
    if (const auto caption = AsText(store.Read(kCaptionProperty, kCaptionDefault))) {
        label_.text = *caption;
    }
    if (const auto font = AsFont(store.Read(kFontProperty, ambient_font))) {
        label_.font = *font;
    }
    if (const auto first_run = AsUnsigned8(store.Read(kFirstRunProperty, kFirstRunDefault))) {
        first_run_ = *first_run;
    }
    if (const auto colour = AsUnsigned32(store.Read(kFontColourProperty, kFontColourDefault));
        colour && (*colour & ~kColourMask) == 0) {
        label_.colour = *colour;
    }
    if (const auto style = AsSigned16(store.Read(kVisibleProperty, kVisibleDefault));
        style && (*style == 0 || *style == 1)) {
        background_style_ = *style;
    }
    host_.CaptionChanged();
    RefreshEnabledFace();
}

void Command::WriteProperties(PropertyStore& store, const FontDescription& ambient_font) {
    store.Write(kEnabledProperty, enabled() ? kEnabledDefault : kFalseText, kEnabledDefault);
    store.Write(kCaptionProperty, label_.text, kCaptionDefault);
    store.Write(kFirstRunProperty, std::to_string(first_run_), kFirstRunDefault);
    store.Write(kFontProperty, label_.font, ambient_font);
    store.Write(kFontColourProperty, std::to_string(label_.colour), kFontColourDefault);
    store.Write(kVisibleProperty, std::to_string(background_style_), kVisibleDefault);
    RefreshEnabledFace();
}

void Command::Resize(int width_pixels, int height_pixels) {
    image_ = ImageBuffer(width_pixels, height_pixels, kDialogFaceColour);
    ApplyEnabled();
}

void Command::MouseMove() {
    if (!enabled()) {
        return;
    }
    if (button_state_ == CommandState::Idle) {
        button_state_ = CommandState::Hover;
        PaintFace(Face::HighLight);
    } else if (button_state_ == CommandState::Focused && !button_held_) {
        button_state_ = CommandState::FocusedHover;
        PaintFace(Face::HighLightSelect);
    }
}

void Command::MouseDown(int button) {
    if (!enabled() || button != kLeftButton) {
        return;
    }
    button_held_ = true;
    PaintFace(Face::Pressed);
}

void Command::MouseUp(int button) {
    if (!enabled()) {
        return;
    }
    if (button == kLeftButton) {
        button_held_ = false;
        if (button_state_ == CommandState::Hover) {
            PaintFace(Face::Normal);
        } else if (button_state_ == CommandState::FocusedHover) {
            PaintFace(Face::HighLightSelect);
        }
    }
    // A release counts unless the pointer was seen to leave while the button was focused.
    if (button_state_ != CommandState::Focused) {
        host_.RaiseClick();
    }
}

void Command::GotFocus() {
    if (!enabled()) {
        return;
    }
    if (button_state_ == CommandState::Hover) {
        button_state_ = CommandState::FocusedHover;
        PaintFace(Face::Pressed);
    } else {
        button_state_ = CommandState::Focused;
        PaintFace(Face::Selected);
    }
}

void Command::LostFocus() {
    if (!enabled() || button_state_ == CommandState::Idle) {
        return;
    }
    button_state_ = CommandState::Idle;
    PaintFace(Face::Normal);
}

void Command::HoverPollTick(bool pointer_over_button) {
    // Entering is seen through mouse moves; leaving only here.
    if (!pointer_over_button) {
        LeaveHover();
    }
}

void Command::ApplyEnabled() {
    if (enabled()) {
        PaintFace(Face::Normal);
        label_.enabled = true;
    } else {
        PaintFace(Face::Disable);
        label_.enabled = false;
    }
    host_.CaptionChanged();
}

void Command::RefreshEnabledFace() {
    if (!enabled()) {
        return;
    }
    label_.enabled = true;
    // A button that has never been stored shows its caption in black.
    if (first_run_ == 0) {
        label_.colour = kBlack;
    }
    host_.CaptionChanged();
    PaintFace(Face::Normal);
}

void Command::LeaveHover() {
    if (!enabled()) {
        return;
    }
    if (button_state_ == CommandState::Hover) {
        button_state_ = CommandState::Idle;
        PaintFace(Face::Normal);
    } else if (button_state_ == CommandState::FocusedHover) {
        button_state_ = CommandState::Focused;
        PaintFace(Face::Selected);
    }
}

void Command::PaintFace(Face face) {
    // In FocusedHover (and before Initialize) the gradient keeps the direction of the last
    // paint: reversed when the pointer came first, normal when the focus did.
    switch (button_state_) {
        case CommandState::Idle:
        case CommandState::Focused:
            gradient_reversed_ = false;
            break;
        case CommandState::Hover:
            gradient_reversed_ = true;
            break;
        case CommandState::Uninitialized:
        case CommandState::FocusedHover:
            break;
    }
    slice_geometry_ = ComputeSliceGeometry(width_twips(), height_twips(), slice_geometry_);
    image_.Fill(kDialogFaceColour);
    FillGradient();
    const ImageBuffer& picture = FacePicture(face);
    for (const SlicePiece& piece : SlicePieces(slice_geometry_)) {
        image_.StretchCopy(picture, TwipsToPixels(piece.from), TwipsToPixels(piece.to));
    }
    shown_face_ = face;
    host_.RefreshImage();
    // The caption stays put for the pressed face: the pressed look is the picture's alone.
    label_.top = (height_twips() - label_.height - kCaptionLift) / 2;
    label_.left = 0;
    label_.width = width_twips();
    host_.CaptionChanged();
}

void Command::FillGradient() {
    const ImageBuffer::GradientVertex top = gradient_reversed_ ? kGradientShade : kGradientLight;
    const ImageBuffer::GradientVertex bottom = gradient_reversed_ ? kGradientLight : kGradientShade;
    image_.GradientFillVertical(At(top, 0, 0), At(bottom, image_.width() - 1, image_.height() - 1));
    host_.RefreshImage();
}

}  // namespace velmora
