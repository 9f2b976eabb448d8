#include "saver/command/command_button.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <cmath>

#include "saver/host/design_font.h"

namespace velmora {
namespace {

// The button value a press or release reports: the one button that caused it.
int ButtonValue(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return kLeftButton;
        case Qt::RightButton:
            return kRightButton;
        case Qt::MiddleButton:
            return kMiddleButton;
        default:
            return 0;
    }
}

QColor ColourOf(std::uint32_t value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

}  // namespace

CommandButton::CommandButton(QWidget* parent, const PropertyStore& properties)
    : QWidget(parent), label_(new QLabel(this)) {
    setFocusPolicy(Qt::StrongFocus);
    // Entering is noticed through mouse moves, so they are wanted without a button held.
    setMouseTracking(true);
    label_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(&hover_poll_, &QTimer::timeout, this,
            [this] { command_.HoverPollTick(PointerOverButton()); });
    resize(command_.image().width(), command_.image().height());
    command_.ReadProperties(properties, AmbientFont());
}

void CommandButton::Initialize() {
    command_.Initialize();
}

QString CommandButton::Caption() const {
    return QString::fromStdString(command_.Caption());
}

void CommandButton::SetCaption(const QString& caption) {
    command_.SetCaption(caption.toStdString());
}

void CommandButton::WriteProperties(PropertyStore& store) {
    command_.WriteProperties(store, AmbientFont());
}

void CommandButton::paintEvent(QPaintEvent*) {
    if (!command_.opaque()) {
        return;
    }
    const ImageBuffer& image = command_.image();
    const QImage view(image.bytes(), image.width(), image.height(),
                      static_cast<qsizetype>(image.bytes_per_line()), QImage::Format_RGB888);
    QPainter painter(this);
    painter.drawImage(0, 0, view);
}

void CommandButton::resizeEvent(QResizeEvent*) {
    command_.Resize(width(), height());
}

void CommandButton::mousePressEvent(QMouseEvent* event) {
    command_.MouseDown(ButtonValue(event->button()));
}

// A pointer resting where the button appears (the form opens under it, a dialog above it
// closes) sends an enter but no move; it counts as a move, or the first click there is lost.
void CommandButton::enterEvent(QEnterEvent*) {
    command_.MouseMove();
}

void CommandButton::mouseMoveEvent(QMouseEvent*) {
    command_.MouseMove();
}

void CommandButton::mouseReleaseEvent(QMouseEvent* event) {
    command_.MouseUp(ButtonValue(event->button()));
}

void CommandButton::focusInEvent(QFocusEvent*) {
    command_.GotFocus();
}

void CommandButton::focusOutEvent(QFocusEvent*) {
    command_.LostFocus();
}

void CommandButton::NotifyPropertyChanged(std::string_view name) {
    emit PropertyChanged(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

void CommandButton::RefreshImage() {
    update();
}

void CommandButton::CaptionChanged() {
    const CaptionLabel& caption = command_.caption_label();
    label_->setText(QString::fromStdString(caption.text));
    label_->setFont(ToQFont(caption.font));
    QPalette palette = label_->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, ColourOf(caption.colour));
    }
    label_->setPalette(palette);
    label_->setEnabled(caption.enabled);
    label_->setGeometry(PixelsOf(caption.left), PixelsOf(caption.top), PixelsOf(caption.width),
                        PixelsOf(caption.height));
}

void CommandButton::StartHoverPoll(std::chrono::milliseconds interval) {
    hover_poll_.start(interval);
}

void CommandButton::RaiseClick() {
    emit Click();
}

bool CommandButton::PointerOverButton() const {
    // The caption lets the mouse through, so over the caption the widget found is the button.
    return QApplication::widgetAt(QCursor::pos()) == this;
}

FontDescription CommandButton::AmbientFont() const {
    return ToFontDescription(parentWidget() != nullptr ? parentWidget()->font()
                                                       : QApplication::font());
}

}  // namespace velmora
