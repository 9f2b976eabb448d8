#include "saver/command/command_button.h"

#include <QApplication>
#include <QCursor>
#include <QFontInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "saver/host/design_font.h"

namespace velmora::test {
namespace {

constexpr QPoint kButtonPlace{20, 30};
constexpr QSize kButtonSize{81, 25};
constexpr QRgb kFrame = qRgb(0, 60, 116);
constexpr QRgb kGreyFrame = qRgb(201, 199, 186);

int StateOf(const CommandButton& button) {
    return static_cast<int>(button.control().ButtonState());
}

int FaceOf(const CommandButton& button) {
    return static_cast<int>(button.control().shown_face().value_or(Face::Normal));
}

constexpr int kIdle = static_cast<int>(CommandState::Idle);
constexpr int kHover = static_cast<int>(CommandState::Hover);
constexpr int kFocused = static_cast<int>(CommandState::Focused);
constexpr int kFocusedHover = static_cast<int>(CommandState::FocusedHover);

}  // namespace

// A form with one button on it, shown on Qt's offscreen platform, whose cursor the tests move
// with QCursor::setPos (QTest::mouseMove does so while no button is held).
class CommandButtonTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { InstallDesignFontSubstitution(); }

    void init() {
        QCursor::setPos(0, 0);
        form_ = std::make_unique<QWidget>();
        form_->setFont(DesignFont());
        form_->setGeometry(100, 100, 200, 100);
        button_ = new CommandButton(form_.get());
        button_->setGeometry(QRect(kButtonPlace, kButtonSize));
        button_->Initialize();
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        // The form hands its first focusable child the focus when it opens.
        QCOMPARE(StateOf(*button_), kFocused);
        button_->clearFocus();
        QCOMPARE(StateOf(*button_), kIdle);
    }

    void cleanup() { form_.reset(); }

    void AClickOnTheButtonRaisesClickOnce() {
        QSignalSpy clicks(button_, &CommandButton::Click);
        const QPoint middle = button_->rect().center();
        QTest::mouseMove(button_, middle);
        QCOMPARE(StateOf(*button_), kHover);
        QCOMPARE(FaceOf(*button_), static_cast<int>(Face::HighLight));
        QTest::mousePress(button_, Qt::LeftButton, {}, middle);
        QVERIFY(button_->hasFocus());
        QCOMPARE(StateOf(*button_), kFocusedHover);
        QCOMPARE(FaceOf(*button_), static_cast<int>(Face::Pressed));
        QCOMPARE(clicks.count(), 0);
        QTest::mouseRelease(button_, Qt::LeftButton, {}, middle);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(FaceOf(*button_), static_cast<int>(Face::HighLightSelect));
    }

    void TheHoverFaceGoesWithTheNextPollAfterThePointerLeaves() {
        QCOMPARE(button_->hover_poll().interval(), 100);
        QVERIFY(button_->hover_poll().isActive());
        QTest::mouseMove(button_, button_->rect().center());
        QCOMPARE(FaceOf(*button_), static_cast<int>(Face::HighLight));
        QTest::mouseMove(form_.get(), QPoint(150, 80));
        QTRY_COMPARE_WITH_TIMEOUT(FaceOf(*button_), static_cast<int>(Face::Normal), 1000);
        QCOMPARE(StateOf(*button_), kIdle);
    }

    void ThePointerOverTheCaptionCountsAsOverTheButton() {
        const QPoint on_caption = button_->caption_label().geometry().center();
        QVERIFY(!button_->caption_label().text().isEmpty());
        QTest::mouseMove(button_, on_caption);
        QCOMPARE(StateOf(*button_), kHover);
        // Several polls pass with the pointer on the caption; none may drop the hover.
        QTest::qWait(350);
        QCOMPARE(StateOf(*button_), kHover);
        QSignalSpy clicks(button_, &CommandButton::Click);
        QTest::mouseClick(button_, Qt::LeftButton, {}, on_caption);
        QCOMPARE(clicks.count(), 1);
    }

    void AReleaseAfterDraggingOutClicksOnlyBeforeThePoll() {
        for (const bool wait_for_poll : {false, true}) {
            QSignalSpy clicks(button_, &CommandButton::Click);
            const QPoint middle = button_->rect().center();
            QTest::mouseMove(button_, middle);
            QTest::mousePress(button_, Qt::LeftButton, {}, middle);
            QCursor::setPos(form_->mapToGlobal(QPoint(150, 80)));
            if (wait_for_poll) {
                QTRY_COMPARE(StateOf(*button_), kFocused);
            }
            QTest::mouseRelease(button_, Qt::LeftButton, {}, middle);
            QCOMPARE(clicks.count(), wait_for_poll ? 0 : 1);
            button_->clearFocus();
            QTRY_COMPARE(StateOf(*button_), kIdle);
        }
    }

    void APointerAlreadyOverTheButtonCountsOnceItEnters() {
        const QPoint middle = button_->rect().center();
        QEnterEvent enter(middle, button_->mapTo(form_.get(), middle),
                          button_->mapToGlobal(middle));
        QApplication::sendEvent(button_, &enter);
        QCOMPARE(StateOf(*button_), kHover);
        QSignalSpy clicks(button_, &CommandButton::Click);
        QTest::mouseClick(button_, Qt::LeftButton, {}, middle);
        QCOMPARE(clicks.count(), 1);
    }

    void ARightButtonReleaseClicksToo() {
        QSignalSpy clicks(button_, &CommandButton::Click);
        QTest::mouseMove(button_, button_->rect().center());
        QTest::mouseClick(button_, Qt::RightButton, {}, button_->rect().center());
        QCOMPARE(clicks.count(), 1);
        QVERIFY(!button_->control().ButtonHeld());
    }

    void KeysDoNothing() {
        QSignalSpy clicks(button_, &CommandButton::Click);
        button_->setFocus();
        QTRY_VERIFY(button_->hasFocus());
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
            QTest::keyClick(button_, key);
        }
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(StateOf(*button_), kFocused);
    }

    void ADisabledButtonIgnoresTheMouseAndShowsTheDisabledFace() {
        QSignalSpy clicks(button_, &CommandButton::Click);
        QSignalSpy changes(button_, &CommandButton::PropertyChanged);
        button_->SetEnabled(false);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.first().first().toString(), QStringLiteral("Enabled"));
        QVERIFY2(button_->isEnabled(), "the widget itself stays enabled");
        QTest::mouseMove(button_, button_->rect().center());
        QTest::mouseClick(button_, Qt::LeftButton, {}, button_->rect().center());
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(StateOf(*button_), kIdle);
        QVERIFY(!button_->caption_label().isEnabled());
        QCOMPARE(FormPixel(40, 1), kGreyFrame);
        button_->SetEnabled(true);
        QCOMPARE(FormPixel(40, 1), kFrame);
        QVERIFY(button_->caption_label().isEnabled());
    }

    void ShowsThePaintedFaceUnlessTransparent() {
        QCOMPARE(FormPixel(40, 1), kFrame);
        QCOMPARE(FormPixel(40, 4), qRgb(245, 245, 248));
        button_->SetVisible(0);
        QVERIFY(FormPixel(40, 1) != kFrame);
        QVERIFY(button_->caption_label().isVisible());
        button_->SetVisible(1);
        QCOMPARE(FormPixel(40, 1), kFrame);
    }

    void TheCaptionIsCentredAboveTheMiddleInTheDesignFont() {
        button_->SetCaption(QStringLiteral("設定"));
        const QLabel& label = button_->caption_label();
        QCOMPARE(label.text(), QStringLiteral("設定"));
        QCOMPARE(label.geometry(), QRect(0, 5, 81, 13));
        QVERIFY(label.alignment().testFlag(Qt::AlignHCenter));
        QCOMPARE(QFontInfo(label.font()).family(), QString::fromLatin1(kDesignFontStandIn));
        button_->SetFontColour(0x0000FF);
        QCOMPARE(label.palette().color(QPalette::Active, QPalette::WindowText), QColor(255, 0, 0));
    }

    void BeforeInitializeThereIsNoPollAndMovesChangeNothing() {
        auto* fresh = new CommandButton(form_.get());
        fresh->setGeometry(QRect(QPoint(110, 30), kButtonSize));
        fresh->show();
        QVERIFY(!fresh->hover_poll().isActive());
        QTest::mouseMove(fresh, fresh->rect().center());
        QCOMPARE(static_cast<int>(fresh->control().ButtonState()),
                 static_cast<int>(CommandState::Uninitialized));
    }

    void StoredPropertiesAreLoadedAndSaved() {
        const PropertyStore stored{{"Caption", std::string("ｷｬﾝｾﾙ")},
                                   {"Enabled", std::string("False")}};
        CommandButton loaded(form_.get(), stored);
        QCOMPARE(loaded.Caption(), QStringLiteral("ｷｬﾝｾﾙ"));
        QVERIFY2(loaded.Font() == DesignFontDescription(), "the parent's font is the ambient one");
        QVERIFY(!loaded.Enabled());
        PropertyStore saved;
        loaded.WriteProperties(saved);
        QCOMPARE(saved.size(), std::size_t{2});
    }

  private:
    QRgb FormPixel(int x, int y) {
        return form_->grab().toImage().pixel(kButtonPlace + QPoint(x, y));
    }

    std::unique_ptr<QWidget> form_;
    CommandButton* button_ = nullptr;
};

}  // namespace velmora::test

QTEST_MAIN(velmora::test::CommandButtonTest)
#include "command_button_test.moc"
