#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>
#include <string>
#include <string_view>

#include "saver/command/image_buffer.h"
#include "saver/settings.h"
#include "saver/zoom.h"

class QComboBox;
class QLabel;

namespace velmora {

class CommandButton;
class PathLabel;
class RetainedSurface;

// The credit line ends in the program's version; the address is what the link label shows and
// opens.
inline constexpr std::string_view kCreditLine = "3D Screen Saver  Ver.1.0.0";
inline constexpr std::string_view kHomePageAddress = "https://velmora.example.org/";

// Shown when 設定 cannot write the ini file, followed by the file and the reason.
inline constexpr std::string_view kSaveFailedText = "設定を保存できませんでした。";

inline constexpr int kDialogClientWidth = 492;
inline constexpr int kDialogClientHeight = 246;

// The settings dialog: the choice of background music (none, the music CD with a track to
// repeat, or an MP3 or WAV file) over a shaded background, with 設定 to save and ｷｬﾝｾﾙ to
// leave. It edits the settings in place; only 設定 writes the ini file. Its title is the one
// that tells other starts of the program that the settings are open.
class Velmora_P final : public QWidget {
    Q_OBJECT

  public:
    // Builds the dialog and runs its load: place, panel, marks, chooser, zoom. x11 may be null
    // (no zoom).
    Velmora_P(Settings& settings, SettingsFiles files, const X11Connection* x11);
    ~Velmora_P() override;

    // Shows the dialog modally and returns once it has closed.
    void ShowModal();

    ZoomPoint zoom_point() const noexcept { return zoom_; }
    const ImageBuffer& form_image() const noexcept { return form_image_; }

  signals:
    // The dialog has closed, whichever way.
    void Unloaded();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    QLabel* CreateLabel(QWidget* parent, const char* name, const QRect& place, const QString& text);
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void ShowKind(std::int16_t kind);
    void Img_BGM_MouseDown(int index);
    void Cmd_File_Click();
    void Cmd_Set_Click();
    void Cmd_Can_Click();
    void lbl_URL_Click();

    Settings& settings_;
    const SettingsFiles files_;
    const X11Connection* x11_;
    ZoomPoint zoom_;
    ImageBuffer form_image_;

    CommandButton* Cmd_Set = nullptr;
    CommandButton* Cmd_Can = nullptr;
    RetainedSurface* Pic_C = nullptr;
    std::array<QLabel*, 3> Img_BGM{};
    std::array<QLabel*, 3> lbl_BGM{};
    QComboBox* BGM_Repeat = nullptr;
    CommandButton* Cmd_File = nullptr;
    PathLabel* lbl_Fname = nullptr;
    QLabel* lbl_URL = nullptr;
    // Picture stores: the radio marks unselected (0) and selected (1), and the metal strip.
    std::array<QPixmap, 2> Img_Ra;
    const ImageBuffer& Pic_Mbl;
};

}  // namespace velmora
