#include "saver/ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "saver/command/command_button.h"
#include "saver/host/design_font.h"
#include "saver/ui/dialog_pictures.h"
#include "saver/ui/form_drawing.h"
#include "saver/ui/path_label.h"
#include "saver/ui/retained_surface.h"
#include "saver/ui/settings_choices.h"
#include "tests/support/child_process.h"

namespace velmora::test {
namespace {

QImage ImageOf(const ImageBuffer& picture) {
    return QImage(picture.bytes(), picture.width(), picture.height(),
                  static_cast<qsizetype>(picture.bytes_per_line()), QImage::Format_RGB888)
        .convertToFormat(QImage::Format_RGB32);
}

QRgb RgbOf(ImageBuffer::Pixel pixel) {
    return qRgb(pixel.red, pixel.green, pixel.blue);
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Receives the addresses the dialog asks the platform to open.
class UrlCatcher : public QObject {
    Q_OBJECT

  public:
    QList<QUrl> opened;

  public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

class SettingsDialogTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { InstallDesignFontSubstitution(); }

    SettingsDialogTest() { settings_.BGM_Folder = folder_.path(); }

    // Builds the dialog on the current settings and shows it, as the program does.
    void Open() {
        dialog_ = std::make_unique<Velmora_P>(settings_, SettingsFiles{ini_, own_ini_}, nullptr);
        unloaded_ = std::make_unique<QSignalSpy>(dialog_.get(), &Velmora_P::Unloaded);
        dialog_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    }

    template <typename T>
    T* Control(const QString& name) const {
        T* control = dialog_->findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name.toStdString();
        return control;
    }
    QLabel* Mark(int kind) const { return Control<QLabel>(QString("Img_BGM%1").arg(kind)); }
    QLabel* KindLabel(int kind) const { return Control<QLabel>(QString("lbl_BGM%1").arg(kind)); }
    QComboBox* Repeat() const { return Control<QComboBox>("BGM_Repeat"); }
    CommandButton* Button(const char* name) const { return Control<CommandButton>(name); }

    // The kinds whose radio mark shows the selected picture.
    std::vector<int> SelectedMarks() const {
        const QImage selected = ImageOf(RadioMarkPicture(RadioMark::Selected));
        const QImage unselected = ImageOf(RadioMarkPicture(RadioMark::Unselected));
        std::vector<int> kinds;
        for (int kind = 0; kind < 3; ++kind) {
            const QImage shown =
                Mark(kind)->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
            if (shown == selected) {
                kinds.push_back(kind);
            } else {
                EXPECT_EQ(shown, unselected) << "mark " << kind << " shows neither picture";
            }
        }
        return kinds;
    }

    void ExpectRowsShow(std::int16_t kind) {
        const KindControls expected = ControlsForKind(kind);
        const std::vector<int> selected =
            expected.selected_mark ? std::vector<int>{*expected.selected_mark} : std::vector<int>{};
        EXPECT_EQ(SelectedMarks(), selected) << "kind " << kind;
        EXPECT_EQ(Repeat()->isEnabled(), expected.repeat_enabled) << "kind " << kind;
        EXPECT_EQ(Button("Cmd_File")->Enabled(), expected.file_enabled) << "kind " << kind;
    }

    // Runs handle on the file chooser once it is open; the chooser's own event loop runs the
    // poll while the click that opened it has not returned.
    void WhenChooserOpens(std::function<void(QFileDialog*)> handle) {
        chooser_poll_.setInterval(10);
        QObject::connect(&chooser_poll_, &QTimer::timeout, [this, handle] {
            auto* chooser = dialog_->findChild<QFileDialog*>();
            if (chooser != nullptr && chooser->isVisible()) {
                chooser_poll_.stop();
                handle(chooser);
            }
        });
        chooser_poll_.start();
    }

    static void Click(CommandButton* button) {
        const QPoint middle = button->rect().center();
        QTest::mouseMove(button, middle);
        QTest::mouseClick(button, Qt::LeftButton, {}, middle);
    }

    TemporaryFolder folder_;
    std::string ini_ = folder_.path() + "/ヴェルモラ.ini";
    std::string own_ini_ = folder_.path() + "/config/velmora/ヴェルモラ.ini";
    Settings settings_;
    std::unique_ptr<Velmora_P> dialog_;
    std::unique_ptr<QSignalSpy> unloaded_;
    QTimer chooser_poll_;
};

TEST_F(SettingsDialogTest, TheWindowHasItsTitleFixedSizeAndIcon) {
    Open();
    EXPECT_EQ(dialog_->windowTitle(), QString("<ヴェルモラ>"));
    EXPECT_EQ(dialog_->size(), QSize(492, 246));
    EXPECT_EQ(dialog_->minimumSize(), dialog_->maximumSize());
    EXPECT_TRUE(dialog_->windowIcon().availableSizes().contains(QSize(32, 32)));
}

TEST_F(SettingsDialogTest, OpensCentredAcrossAndAThirdDown) {
    Open();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const WindowPosition expected = DialogPosition(screen.width(), screen.height(), 492, 246);
    EXPECT_EQ(dialog_->pos(), QPoint(expected.left, expected.top));
}

TEST_F(SettingsDialogTest, LoadShowsTheStoredKind) {
    for (const std::int16_t kind :
         {std::int16_t{0}, std::int16_t{1}, std::int16_t{2}, std::int16_t{5}}) {
        settings_.BGM_Kind = kind;
        Open();
        ExpectRowsShow(kind);
    }
}

TEST_F(SettingsDialogTest, LoadShowsTheTrackAndListsThirtyOneEntries) {
    for (const auto& [track, text] : {std::pair{0, ""}, {7, "7"}, {45, "45"}}) {
        settings_.BGM_RepeatTrack = static_cast<std::int16_t>(track);
        Open();
        EXPECT_EQ(Repeat()->currentText(), QString(text)) << track;
        ASSERT_EQ(Repeat()->count(), 31);
        EXPECT_EQ(Repeat()->itemText(0), QString());
        EXPECT_EQ(Repeat()->itemText(1), QString("1"));
        EXPECT_EQ(Repeat()->itemText(30), QString("30"));
    }
}

TEST_F(SettingsDialogTest, LoadShowsTheFileAndStartsEveryButton) {
    settings_.BGM_File = "/music/a song.mp3";
    Open();
    EXPECT_EQ(Control<PathLabel>("lbl_Fname")->text(), QString("/music/a song.mp3"));
    for (const char* name : {"Cmd_Set", "Cmd_Can", "Cmd_File"}) {
        EXPECT_TRUE(Button(name)->hover_poll().isActive()) << name << " was not initialised";
    }
}

TEST_F(SettingsDialogTest, TheZoomStartsAtTheCursor) {
    QCursor::setPos(100, 50);
    Open();
    EXPECT_EQ(dialog_->zoom_point().ZoomX, 100);
    EXPECT_EQ(dialog_->zoom_point().ZoomY, 50);
}

TEST_F(SettingsDialogTest, AnyMouseButtonOnAMarkOrItsLabelSelectsTheRow) {
    settings_.BGM_File = "/music/kept.wav";
    settings_.BGM_RepeatTrack = 3;
    Open();
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        for (const bool on_label : {false, true}) {
            for (const int kind : {1, 2, 0}) {
                QLabel* target = on_label ? KindLabel(kind) : Mark(kind);
                QTest::mousePress(target, button, {}, target->rect().center());
                QTest::mouseRelease(target, button, {}, target->rect().center());
                EXPECT_EQ(settings_.BGM_Kind, kind) << button << (on_label ? " label" : " mark");
                ExpectRowsShow(static_cast<std::int16_t>(kind));
            }
        }
    }
    EXPECT_EQ(settings_.BGM_File, "/music/kept.wav");
    EXPECT_EQ(Control<PathLabel>("lbl_Fname")->text(), QString("/music/kept.wav"));
    EXPECT_EQ(Repeat()->currentText(), QString("3"));
    EXPECT_FALSE(std::filesystem::exists(ini_)) << "a selection lives in memory only";
}

TEST_F(SettingsDialogTest, SetWritesTheThreeKeysInOrderThenCloses) {
    settings_.BGM_Kind = 0;
    Open();
    QTest::mouseClick(KindLabel(2), Qt::RightButton);
    Repeat()->setEditText("45");
    Click(Button("Cmd_Set"));
    EXPECT_EQ(ReadFile(ini_), "[Section]\nBGM区分= 2\nBGMﾘﾋﾟｰﾄ= 45\nBGMﾌｧｲﾙ=\n");
    EXPECT_EQ(settings_.BGM_RepeatTrack, 45);
    EXPECT_EQ(unloaded_->count(), 1);
    EXPECT_FALSE(dialog_->isVisible());
}

TEST_F(SettingsDialogTest, SetSavesTheChosenFileWhateverTheKindAndTracksAsNumbers) {
    struct Case {
        const char* typed;
        const char* stored;
    };
    const Case cases[] = {{"", " 0"}, {"7", " 7"}, {"abc", " 0"}, {"70000", " 0"}, {"2.5", " 2"}};
    for (const Case& c : cases) {
        std::filesystem::remove(ini_);
        settings_.BGM_Kind = 1;
        settings_.BGM_File = "/music/chosen.mp3";
        Open();
        Repeat()->setEditText(c.typed);
        Click(Button("Cmd_Set"));
        EXPECT_EQ(ReadFile(ini_), std::string("[Section]\nBGM区分= 1\nBGMﾘﾋﾟｰﾄ=") + c.stored +
                                      "\nBGMﾌｧｲﾙ=/music/chosen.mp3\n")
            << '"' << c.typed << '"';
    }
}

TEST_F(SettingsDialogTest, AFailedSaveIsSaidAndTheDialogStaysOpen) {
    std::ofstream(ini_) << "[Section]\n";
    std::filesystem::permissions(ini_, std::filesystem::perms::owner_read);
    // Nobody, root included, can make a folder there.
    own_ini_ = "/proc/velmora/ヴェルモラ.ini";
    Open();
    QString title, text;
    QMessageBox::StandardButtons buttons;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll.stop();
            title = box->windowTitle();
            text = box->text();
            buttons = box->standardButtons();
            box->accept();
        }
    });
    poll.start(10);
    Click(Button("Cmd_Set"));
    EXPECT_EQ(title, QString("ヴェルモラ"));
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_TRUE(text.startsWith(
        QString::fromUtf8(kSaveFailedText.data(), static_cast<qsizetype>(kSaveFailedText.size()))))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromStdString(own_ini_))) << text.toStdString();
    EXPECT_EQ(unloaded_->count(), 0);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(ReadFile(ini_), "[Section]\n");
}

TEST_F(SettingsDialogTest, CancelAndClosingWriteNothing) {
    Open();
    QTest::mouseClick(Mark(1), Qt::LeftButton);
    Click(Button("Cmd_Can"));
    EXPECT_EQ(unloaded_->count(), 1);
    EXPECT_FALSE(dialog_->isVisible());

    Open();
    dialog_->close();
    EXPECT_EQ(unloaded_->count(), 1);
    EXPECT_FALSE(std::filesystem::exists(ini_));
}

TEST_F(SettingsDialogTest, EscapeDoesNotCloseTheDialog) {
    Open();
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_EQ(unloaded_->count(), 0);
}

TEST_F(SettingsDialogTest, TheBackgroundIsShadedIntoTheFormsImage) {
    Open();
    const ImageBuffer& form = dialog_->form_image();
    ASSERT_EQ(form.width(), 492);
    ASSERT_EQ(form.height(), 246);
    EXPECT_EQ(form.at(0, 0), (ImageBuffer::Pixel{0, 0, 30}));
    EXPECT_EQ(form.at(491, 123), (ImageBuffer::Pixel{220, 220, 250}));
    EXPECT_EQ(form.at(200, 245), ShadingColour(245, 246));
    // What shows where no control lies: the left margin beside the panel.
    const QImage shown = dialog_->grab().toImage();
    EXPECT_EQ(shown.pixel(5, 0), qRgb(0, 0, 30));
    EXPECT_EQ(shown.pixel(5, 123), qRgb(220, 220, 250));
    EXPECT_EQ(shown.pixel(5, 245), RgbOf(ShadingColour(245, 246)));
}

TEST_F(SettingsDialogTest, ThePanelIsTiledWithTheMetalStrip) {
    Open();
    auto* panel = Control<RetainedSurface>("Pic_C");
    ASSERT_EQ(panel->geometry(), QRect(12, 16, 469, 165));
    const ImageBuffer& image = panel->image();
    const ImageBuffer& strip = MetalStripPicture();
    ASSERT_EQ(image.width(), 469);
    ASSERT_EQ(image.height(), 165);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ASSERT_EQ(image.at(x, y), strip.at(x, y % 20)) << x << "," << y;
        }
    }
    // Beside the controls the panel shows its image; the heading has its frame.
    const QImage shown = panel->grab().toImage();
    EXPECT_EQ(shown.pixel(300, 10), RgbOf(strip.at(300, 10)));
    EXPECT_EQ(shown.pixel(460, 150), RgbOf(strip.at(460, 10)));
    EXPECT_EQ(shown.pixel(20, 30), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(132, 30), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(70, 20), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(70, 40), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(70, 41), RgbOf(strip.at(70, 1)));
}

TEST_F(SettingsDialogTest, TheFileButtonOpensTheChooserInTheFolderAndTakesTheChoice) {
    const std::string music = folder_.path() + "/music";
    std::filesystem::create_directory(music);
    for (const char* name : {"a.mp3", "B.WAV", "c.Mp3", "d.txt", "e.mp4", "wav"}) {
        std::ofstream(music + "/" + name) << "x";
    }
    settings_.BGM_Kind = 2;
    settings_.BGM_Folder = music;
    Open();
    std::vector<std::string> listed;
    QString title, filter;
    QString directory;
    WhenChooserOpens([&](QFileDialog* chooser) {
        title = chooser->windowTitle();
        directory = chooser->directory().absolutePath();
        filter = chooser->findChild<QComboBox*>("fileTypeCombo")->currentText();
        auto* view = chooser->findChild<QListView*>("listView");
        // The folder is read in the background; the filter then takes out what does not match.
        const bool read =
            QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= 3; }, 5000);
        QTest::qWait(100);
        EXPECT_TRUE(read);
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
            listed.push_back(
                view->model()->index(row, 0, view->rootIndex()).data().toString().toStdString());
        }
        // As a user does: the name typed into the chooser, then Enter.
        QTest::keyClicks(chooser->findChild<QLineEdit*>("fileNameEdit"), "c.Mp3");
        QTest::keyClick(chooser->findChild<QLineEdit*>("fileNameEdit"), Qt::Key_Return);
    });
    Click(Button("Cmd_File"));
    EXPECT_EQ(title, QString("ﾌｧｲﾙを開く"));
    EXPECT_EQ(directory, QString::fromStdString(music));
    EXPECT_EQ(filter, QString("BGMﾌｧｲﾙ (MP3 WAV)"));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"B.WAV", "a.mp3", "c.Mp3"}));
    EXPECT_EQ(settings_.BGM_File, music + "/c.Mp3");
    EXPECT_EQ(settings_.BGM_Folder, music);
    EXPECT_EQ(Control<PathLabel>("lbl_Fname")->text(), QString::fromStdString(music + "/c.Mp3"));
    EXPECT_TRUE(dialog_->isVisible());
}

TEST_F(SettingsDialogTest, ACancelledChooserChangesNothing) {
    settings_.BGM_Kind = 2;
    settings_.BGM_File = "/music/old.mp3";
    Open();
    bool shown = false;
    WhenChooserOpens([&](QFileDialog* chooser) {
        shown = true;
        chooser->reject();
    });
    Click(Button("Cmd_File"));
    EXPECT_TRUE(shown);
    EXPECT_EQ(settings_.BGM_File, "/music/old.mp3");
    EXPECT_EQ(settings_.BGM_Folder, folder_.path());
}

TEST_F(SettingsDialogTest, TheFileButtonDoesNothingWhileAnotherRowIsSelected) {
    settings_.BGM_Kind = 1;
    Open();
    bool shown = false;
    WhenChooserOpens([&](QFileDialog* chooser) {
        shown = true;
        chooser->reject();
    });
    Click(Button("Cmd_File"));
    QTest::qWait(50);
    EXPECT_FALSE(shown);
}

TEST_F(SettingsDialogTest, TheAddressLabelOpensItsAddressOnALeftClick) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    Open();
    auto* link = Control<QLabel>("lbl_URL");
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(link->font().underline());
    QTest::mouseClick(link, Qt::RightButton);
    EXPECT_TRUE(catcher.opened.isEmpty());
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.front(), QUrl(QString::fromUtf8(kHomePageAddress.data())));
    EXPECT_EQ(link->text(), QString::fromUtf8(kHomePageAddress.data()));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the pointer is back to normal";
    QDesktopServices::unsetUrlHandler("https");
}

TEST_F(SettingsDialogTest, TheCreditLineEndsInTheVersion) {
    Open();
    EXPECT_TRUE(Control<QLabel>("lbl7")->text().endsWith("Ver.1.0.0"));
}

TEST_F(SettingsDialogTest, EveryTextFitsItsLabel) {
    Open();
    for (QLabel* label : dialog_->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
    }
}

}  // namespace
}  // namespace velmora::test

#include "settings_dialog_test.moc"
