#include "platform/msgbox.h"

namespace plat {

namespace {
MessageHandler& handler() {
    static MessageHandler h;
    return h;
}
MessageHandler& dialog() {
    static MessageHandler d;
    return d;
}
} // namespace

Answer MsgBox(const std::string& text, Buttons buttons, const std::string& title, Icon icon) {
    Message m{text, title, buttons, icon};
    if (handler()) return handler()(m);
    // Without a window there is no one to ask: the box counts as answered OK.
    return dialog() ? dialog()(m) : Answer::OK;
}

void setMessageHandler(MessageHandler h) {
    handler() = std::move(h);
}

void setMessageDialog(MessageHandler d) {
    dialog() = std::move(d);
}

} // namespace plat
