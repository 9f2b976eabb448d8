#include "saver/host/message_box.h"

#include <QMessageBox>
#include <QString>

namespace velmora {

void ShowMessageBox(std::string_view text) {
    QMessageBox box(
        QMessageBox::NoIcon,
        QString::fromUtf8(kProgramTitle.data(), static_cast<qsizetype>(kProgramTitle.size())),
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok);
    box.exec();
}

}  // namespace velmora
