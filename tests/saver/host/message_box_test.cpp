#include "saver/host/message_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

namespace velmora {
namespace {

TEST(ShowMessageBox, ShowsTheTextUnderTheProgramsTitleWithOnlyOk) {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Critical;
    int buttons = 0;
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        clicked = true;
    });
    ShowMessageBox("ヴェルモラ.dll が同じﾌｫﾙﾀﾞに見つかりません！");
    EXPECT_TRUE(clicked) << "the call returns only once OK is pressed";
    EXPECT_EQ(title.toStdString(), "ヴェルモラ");
    EXPECT_EQ(text.toStdString(), "ヴェルモラ.dll が同じﾌｫﾙﾀﾞに見つかりません！");
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, 1);
}

}  // namespace
}  // namespace velmora
