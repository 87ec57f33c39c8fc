#pragma once
// Every message box of the program goes through MsgBox, so tests can replace it.
#include <functional>
#include <string>

namespace plat {

enum class Buttons { OK, OKCancel };
enum class Icon { None, Critical, Exclamation, Information };
enum class Answer { OK, Cancel };

struct Message {
    std::string text;
    std::string title;
    Buttons buttons = Buttons::OK;
    Icon icon = Icon::None;
};

using MessageHandler = std::function<Answer(const Message&)>;

// Shows the box (or calls the installed handler) and returns the user's answer.
Answer MsgBox(const std::string& text, Buttons buttons = Buttons::OK, const std::string& title = "",
              Icon icon = Icon::None);
// Replaces the boxes (tests record them); nullptr restores the dialog.
void setMessageHandler(MessageHandler h);
// The dialog that shows a box when no handler is set; without one a box counts as OK.
void setMessageDialog(MessageHandler d);
// Installs the window's real dialog (platform/msgbox_dialog.cpp).
void useMessageDialog();

} // namespace plat
