#include "saver/host/design_font.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QtTest>

namespace velmora::test {

class DesignFontTest : public QObject {
    Q_OBJECT

  private slots:
    void ResolvesToTheMetricCompatibleStandIn() {
        const QFont font = DesignFont();
        QCOMPARE(font.family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QCOMPARE(font.pointSizeF(), 9.75);
        InstallDesignFontSubstitution();
        QCOMPARE(QFontInfo(font).family(), QString::fromLatin1(kDesignFontStandIn));
        // 9.75 points are 13 pixels at 96 dots per inch, the line height the forms expect.
        QCOMPARE(QFontInfo(font).pixelSize(), 13);
    }

    void KeepsStyleThroughTheDescription() {
        FontDescription bold_italic = DesignFontDescription();
        bold_italic.bold = true;
        bold_italic.italic = true;
        bold_italic.underline = true;
        bold_italic.points = 12;
        const FontDescription round_trip = ToFontDescription(ToQFont(bold_italic));
        QCOMPARE(round_trip, bold_italic);
    }
};

}  // namespace velmora::test

QTEST_MAIN(velmora::test::DesignFontTest)
#include "design_font_test.moc"
