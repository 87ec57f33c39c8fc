#include "platform/msgbox.h"

#include <QApplication>
#include <QMessageBox>

namespace plat {

namespace {
MessageHandler& handler() {
    static MessageHandler h;
    return h;
}

Answer showDialog(const Message& m) {
    QMessageBox box;
    box.setText(QString::fromStdString(m.text));
    box.setWindowTitle(QString::fromStdString(m.title));
    switch (m.icon) {
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::None: break;
    }
    if (m.buttons == Buttons::OKCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Cancel ? Answer::Cancel : Answer::OK;
}
}  // namespace

Answer MsgBox(const std::string& text, Buttons buttons, const std::string& title, Icon icon) {
    Message m{text, title, buttons, icon};
    if (handler()) return handler()(m);
    return showDialog(m);
}

void setMessageHandler(MessageHandler h) { handler() = std::move(h); }

}  // namespace plat
