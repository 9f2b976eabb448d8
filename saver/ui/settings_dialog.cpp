#include "saver/ui/settings_dialog.h"

#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>

#include "saver/command/command_button.h"
#include "saver/entry.h"
#include "saver/host/design_font.h"
#include "saver/host/message_box.h"
#include "saver/paths.h"
#include "saver/ui/dialog_pictures.h"
#include "saver/ui/form_drawing.h"
#include "saver/ui/outline_shape.h"
#include "saver/ui/path_label.h"
#include "saver/ui/retained_surface.h"
#include "saver/ui/settings_choices.h"

namespace velmora {
namespace {

// Places in pixels: on the form, or in the panel for the panel's controls.
constexpr QRect kSetPlace{316, 200, 81, 25};
constexpr QRect kCancelPlace{400, 200, 81, 25};
constexpr QRect kPanelPlace{12, 16, 469, 165};
constexpr QRect kHeadingFramePlace{20, 20, 113, 21};
constexpr QRect kHeadingPlace{20, 24, 111, 13};
constexpr std::array<QRect, 3> kMarkPlaces{{{28, 76, 13, 13}, {28, 56, 13, 13}, {28, 96, 13, 13}}};
constexpr std::array<QRect, 3> kKindLabelPlaces{
    {{44, 76, 22, 13}, {44, 56, 43, 13}, {44, 96, 60, 13}}};
constexpr QRect kRepeatPlace{112, 52, 41, 20};
constexpr QRect kRepeatLabelPlace{156, 56, 66, 13};
constexpr QRect kFileButtonPlace{28, 112, 41, 25};
constexpr QRect kFileNamePlace{72, 116, 381, 33};
constexpr QRect kCreditPlace{12, 192, 165, 13};
constexpr QRect kAddressPlace{12, 208, 219, 13};

const QColor kFormColour(192, 192, 192);
const QColor kPanelColour(224, 224, 224);
const QColor kPanelTextColour(Qt::black);
const QColor kFormTextColour(Qt::white);
const QColor kHeadingFrameColour(Qt::black);
const QColor kChooserColour(Qt::white);

// The panel's own font; nothing on the panel draws in it, every text there has its own.
constexpr const char* kPanelFontFace = "Tahoma";
constexpr double kPanelFontPoints = 8.25;

// Texts of the music rows, by the kind each row stands for.
constexpr std::array<const char*, 3> kKindTexts{"なし", "音楽CD", "MP3、WAV"};
constexpr const char* kHeadingText = "BGM";
constexpr const char* kRepeatText = "曲目をﾘﾋﾟｰﾄ";
constexpr const char* kSetCaption = "設定";
constexpr const char* kCancelCaption = "ｷｬﾝｾﾙ";
constexpr const char* kFileCaption = "...";

constexpr const char* kChooserTitle = "ﾌｧｲﾙを開く";
// The chooser shows the name alone; the patterns after it match either ending in any case.
constexpr const char* kChooserFilter = "BGMﾌｧｲﾙ (MP3 WAV) (*.[mM][pP]3 *.[wW][aA][vV])";

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPixmap PixmapOf(const ImageBuffer& picture) {
    return QPixmap::fromImage(QImage(picture.bytes(), picture.width(), picture.height(),
                                     static_cast<qsizetype>(picture.bytes_per_line()),
                                     QImage::Format_RGB888)
                                  .copy());
}

QIcon WindowIcon() {
    const IndexedPicture icon = IconPicture();
    QImage image(icon.width, icon.height, QImage::Format_Indexed8);
    QList<QRgb> colours;
    for (const PaletteEntry& entry : icon.palette) {
        colours.push_back(qRgb(entry.red, entry.green, entry.blue));
    }
    image.setColorTable(colours);
    for (int y = 0; y < icon.height; ++y) {
        std::copy_n(icon.indices.begin() + static_cast<std::ptrdiff_t>(y) * icon.width, icon.width,
                    image.scanLine(y));
    }
    return QIcon(QPixmap::fromImage(image));
}

void SetTextColour(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    widget.setPalette(palette);
}

// The screen's pointer back to the default, whatever was set over it.
void ResetScreenPointer() {
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

}  // namespace

Velmora_P::Velmora_P(Settings& settings, SettingsFiles files, const X11Connection* x11)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      files_(std::move(files)),
      x11_(x11),
      Img_Ra{PixmapOf(RadioMarkPicture(RadioMark::Unselected)),
             PixmapOf(RadioMarkPicture(RadioMark::Selected))},
      Pic_Mbl(MetalStripPicture()) {
    setWindowTitle(Text(kSettingsDialogTitle));
    setWindowIcon(WindowIcon());
    setFixedSize(kDialogClientWidth, kDialogClientHeight);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kFormColour);
    setPalette(palette);
    setFont(DesignFont());
    CreateControls();
    Form_Load();
}

Velmora_P::~Velmora_P() = default;

void Velmora_P::CreateControls() {
    // Stored with each button, as its form keeps it: the file button sits on the panel, whose
    // own font would otherwise become its caption's.
    const PropertyStore design_font{{"Font", DesignFontDescription()}};
    Cmd_Set = new CommandButton(this, design_font);
    Cmd_Set->setObjectName("Cmd_Set");
    Cmd_Set->setGeometry(kSetPlace);
    Cmd_Set->SetCaption(kSetCaption);
    connect(Cmd_Set, &CommandButton::Click, this, &Velmora_P::Cmd_Set_Click);
    Cmd_Can = new CommandButton(this, design_font);
    Cmd_Can->setObjectName("Cmd_Can");
    Cmd_Can->setGeometry(kCancelPlace);
    Cmd_Can->SetCaption(kCancelCaption);
    connect(Cmd_Can, &CommandButton::Click, this, &Velmora_P::Cmd_Can_Click);

    Pic_C = new RetainedSurface(this, kPanelColour);
    Pic_C->setObjectName("Pic_C");
    Pic_C->setGeometry(kPanelPlace);
    QFont panel_font(kPanelFontFace);
    panel_font.setPointSizeF(kPanelFontPoints);
    Pic_C->setFont(panel_font);

    auto* heading_frame = new OutlineShape(Pic_C, kHeadingFrameColour);
    heading_frame->setObjectName("Shape3");
    heading_frame->setGeometry(kHeadingFramePlace);
    CreateLabel(Pic_C, "lbl15", kHeadingPlace, kHeadingText)
        ->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    for (int kind = 0; kind < 3; ++kind) {
        const auto index = static_cast<std::size_t>(kind);
        Img_BGM[index] = new QLabel(Pic_C);
        Img_BGM[index]->setObjectName(QString("Img_BGM%1").arg(kind));
        Img_BGM[index]->setGeometry(kMarkPlaces[index]);
        Img_BGM[index]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Img_BGM[index]->installEventFilter(this);
        lbl_BGM[index] = CreateLabel(Pic_C, "", kKindLabelPlaces[index], kKindTexts[index]);
        lbl_BGM[index]->setObjectName(QString("lbl_BGM%1").arg(kind));
        lbl_BGM[index]->installEventFilter(this);
    }

    BGM_Repeat = new QComboBox(Pic_C);
    BGM_Repeat->setObjectName("BGM_Repeat");
    BGM_Repeat->setEditable(true);
    BGM_Repeat->setInsertPolicy(QComboBox::NoInsert);
    BGM_Repeat->setGeometry(kRepeatPlace);
    BGM_Repeat->setFont(DesignFont());
    QPalette chooser_palette = BGM_Repeat->palette();
    chooser_palette.setColor(QPalette::Base, kChooserColour);
    BGM_Repeat->setPalette(chooser_palette);
    CreateLabel(Pic_C, "lbl14", kRepeatLabelPlace, kRepeatText);

    Cmd_File = new CommandButton(Pic_C, design_font);
    Cmd_File->setObjectName("Cmd_File");
    Cmd_File->setGeometry(kFileButtonPlace);
    Cmd_File->SetCaption(kFileCaption);
    connect(Cmd_File, &CommandButton::Click, this, &Velmora_P::Cmd_File_Click);
    lbl_Fname = new PathLabel(Pic_C);
    lbl_Fname->setObjectName("lbl_Fname");
    lbl_Fname->setGeometry(kFileNamePlace);
    lbl_Fname->setFont(DesignFont());
    SetTextColour(*lbl_Fname, kPanelTextColour);

    SetTextColour(*CreateLabel(this, "lbl7", kCreditPlace, Text(kCreditLine)), kFormTextColour);
    lbl_URL = CreateLabel(this, "lbl_URL", kAddressPlace, Text(kHomePageAddress));
    QFont link_font = DesignFont();
    link_font.setUnderline(true);
    lbl_URL->setFont(link_font);
    SetTextColour(*lbl_URL, kFormTextColour);
    lbl_URL->setCursor(Qt::PointingHandCursor);
    lbl_URL->installEventFilter(this);
}

QLabel* Velmora_P::CreateLabel(QWidget* parent, const char* name, const QRect& place,
                               const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(DesignFont());
    // The stand-in font runs a few pixels wider than the design font: a label grows to its
    // text rather than cut it.
    const QSize text_size = label->sizeHint();
    label->setGeometry(place.x(), place.y(), std::max(place.width(), text_size.width()),
                       std::max(place.height(), text_size.height()));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTextColour(*label, kPanelTextColour);
    return label;
}

void Velmora_P::Form_Load() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const WindowPosition place = DialogPosition(screen.width(), screen.height(), width(), height());
    move(screen.left() + place.left, screen.top() + place.top);

    for (CommandButton* button : findChildren<CommandButton*>()) {
        button->Initialize();
    }
    TilePanel(Pic_C->image(), Pic_Mbl);
    Pic_C->update();

    ShowKind(settings_.BGM_Kind);

    // The entries go in before the text: the first entry put into an empty list would
    // otherwise replace the text with its own.
    for (const std::string& entry : RepeatTrackEntries()) {
        BGM_Repeat->addItem(QString::fromStdString(entry));
    }
    BGM_Repeat->setEditText(QString::fromStdString(FormatTrackNumber(settings_.BGM_RepeatTrack)));

    lbl_Fname->setText(QString::fromStdString(settings_.BGM_File));

    const QPoint cursor = QCursor::pos();
    zoom_ = ZoomPointAt(cursor.x(), cursor.y());
    // The window must exist on the X server before its rectangle can be read.
    const X11WindowId window = winId();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    ZoomOpen(x11_, window, zoom_);
    ResetScreenPointer();
}

void Velmora_P::Form_Resize() {
    form_image_ = ImageBuffer(width(), height(),
                              {static_cast<std::uint8_t>(kFormColour.red()),
                               static_cast<std::uint8_t>(kFormColour.green()),
                               static_cast<std::uint8_t>(kFormColour.blue())});
    DrawShading(form_image_);
    update();
}

void Velmora_P::Form_Unload() {
    ZoomClose(x11_, winId(), zoom_);
    emit Unloaded();
}

void Velmora_P::ShowModal() {
    QEventLoop loop;
    connect(this, &Velmora_P::Unloaded, &loop, &QEventLoop::quit);
    setWindowModality(Qt::ApplicationModal);
    show();
    loop.exec();
}

void Velmora_P::ShowKind(std::int16_t kind) {
    const KindControls controls = ControlsForKind(kind);
    for (std::size_t mark = 0; mark < Img_BGM.size(); ++mark) {
        const bool selected = controls.selected_mark == static_cast<int>(mark);
        Img_BGM[mark]->setPixmap(Img_Ra[selected ? 1 : 0]);
    }
    BGM_Repeat->setEnabled(controls.repeat_enabled);
    Cmd_File->SetEnabled(controls.file_enabled);
}

void Velmora_P::Img_BGM_MouseDown(int index) {
    settings_.BGM_Kind = static_cast<std::int16_t>(index);
    ShowKind(settings_.BGM_Kind);
}

void Velmora_P::Cmd_File_Click() {
    QFileDialog chooser(this, kChooserTitle, QString::fromStdString(settings_.BGM_Folder),
                        kChooserFilter);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setOption(QFileDialog::HideNameFilterDetails);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return;
    }
    settings_.BGM_File = chooser.selectedFiles().front().toStdString();
    lbl_Fname->setText(QString::fromStdString(settings_.BGM_File));
    settings_.BGM_Folder = FolderOfPath(settings_.BGM_File);
}

void Velmora_P::Cmd_Set_Click() {
    const SettingsSaved saved =
        SaveSettings(settings_, BGM_Repeat->currentText().toStdString(), files_);
    if (!saved.outcome.written) {
        // The dialog stays open: the choice is not lost, and the user may try again.
        ShowMessageBox(std::string(kSaveFailedText) + "\n" + saved.file + "\n" +
                       saved.outcome.reason);
        return;
    }
    close();
}

void Velmora_P::Cmd_Can_Click() {
    close();
}

void Velmora_P::lbl_URL_Click() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QDesktopServices::openUrl(QUrl(lbl_URL->text()));
    ResetScreenPointer();
}

void Velmora_P::paintEvent(QPaintEvent*) {
    PaintImage(*this, form_image_);
}

void Velmora_P::resizeEvent(QResizeEvent*) {
    Form_Resize();
}

void Velmora_P::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

bool Velmora_P::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        for (std::size_t kind = 0; kind < Img_BGM.size(); ++kind) {
            if (watched == Img_BGM[kind] || watched == lbl_BGM[kind]) {
                Img_BGM_MouseDown(static_cast<int>(kind));
                return true;
            }
        }
    }
    if (watched == lbl_URL && event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        if (release->button() == Qt::LeftButton &&
            lbl_URL->rect().contains(release->position().toPoint())) {
            lbl_URL_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace velmora
