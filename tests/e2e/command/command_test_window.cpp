// A small window with the settings dialog's three Command buttons, for driving under a real X
// server. Prints "Click <caption>" for every Click it receives.
#include <QApplication>
#include <QWidget>
#include <cstdio>

#include "saver/command/command_button.h"
#include "saver/host/design_font.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    velmora::InstallDesignFontSubstitution();
    QWidget form;
    form.setWindowTitle(QStringLiteral("Command test window"));
    form.setFont(velmora::DesignFont());
    form.setFixedSize(200, 80);
    struct Place {
        const char* caption;
        QRect geometry;
    };
    for (const Place& place : {Place{"設定", {10, 10, 81, 25}}, Place{"ｷｬﾝｾﾙ", {100, 10, 81, 25}},
                               Place{"...", {10, 45, 41, 25}}}) {
        auto* button = new velmora::CommandButton(&form);
        button->setGeometry(place.geometry);
        button->SetCaption(QString::fromUtf8(place.caption));
        button->Initialize();
        QObject::connect(button, &velmora::CommandButton::Click, [caption = place.caption] {
            std::printf("Click %s\n", caption);
            std::fflush(stdout);
        });
    }
    form.show();
    form.activateWindow();
    return application.exec();
}
