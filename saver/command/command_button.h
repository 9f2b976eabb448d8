#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "saver/command/command.h"

class QLabel;

namespace velmora {

// The Command button as a Qt widget. It forwards mouse, focus, size and pointer-poll events to
// the toolkit-free Command, shows its image, and shows the caption in a label on top that lets
// the mouse through to the button.
class CommandButton final : public QWidget, private CommandHost {
    Q_OBJECT

  public:
    // Loads the button from the values its form keeps for it (none: every default). The
    // default of the stored font, the ambient font, is the parent's font.
    explicit CommandButton(QWidget* parent = nullptr, const PropertyStore& properties = {});

    // Starts the state machine and the 100 ms pointer poll; the form calls it once.
    void Initialize();

    // The button's own properties. Enabled and Visible are not QWidget's: a button that is not
    // Enabled still takes focus and mouse events but ignores them, and Visible shows or hides
    // only the painted face, never the caption. Reading Enabled, FontColour or a non-zero
    // Visible repaints the face.
    QString Caption() const;
    void SetCaption(const QString& caption);
    const FontDescription& Font() const { return command_.Font(); }
    void SetFont(const FontDescription& font) { command_.SetFont(font); }
    std::uint32_t FontColour() { return command_.FontColour(); }
    void SetFontColour(std::uint32_t colour) { command_.SetFontColour(colour); }
    bool Enabled() { return command_.Enabled(); }
    void SetEnabled(bool enabled) { command_.SetEnabled(enabled); }
    std::uint8_t Visible() { return command_.Visible(); }
    void SetVisible(std::uint8_t visible) { command_.SetVisible(visible); }

    void WriteProperties(PropertyStore& store);

    const Command& control() const noexcept { return command_; }
    const QLabel& caption_label() const noexcept { return *label_; }
    const QTimer& hover_poll() const noexcept { return hover_poll_; }

  signals:
    void Click();
    void PropertyChanged(const QString& name);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void NotifyPropertyChanged(std::string_view name) override;
    void RefreshImage() override;
    void CaptionChanged() override;
    void StartHoverPoll(std::chrono::milliseconds interval) override;
    void RaiseClick() override;

    bool PointerOverButton() const;
    FontDescription AmbientFont() const;

    QLabel* label_;
    QTimer hover_poll_;
    Command command_{*this};
};

}  // namespace velmora
