#pragma once

#include <QString>
#include <QWidget>

namespace velmora {

// A transparent label for a file path: the text wraps at blanks where it can and anywhere
// else where it must, since paths rarely hold blanks, and what does not fit is cut off.
class PathLabel final : public QWidget {
  public:
    explicit PathLabel(QWidget* parent);

    const QString& text() const noexcept { return text_; }
    void setText(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
};

}  // namespace velmora
