// The real message box of the window: a QMessageBox with the text, title, icon and
// buttons asked for.
#include "platform/msgbox.h"

#include <QMessageBox>

namespace plat {

namespace {
Answer showDialog(const Message& m) {
    QMessageBox box;
    box.setText(QString::fromStdString(m.text));
    box.setWindowTitle(QString::fromStdString(m.title));
    switch (m.icon) {
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::None:
        break;
    }
    if (m.buttons == Buttons::OKCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Cancel ? Answer::Cancel : Answer::OK;
}
} // namespace

void useMessageDialog() {
    setMessageDialog(showDialog);
}

} // namespace plat
