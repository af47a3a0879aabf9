#pragma once
// The one seam for modal message boxes. The program installs a responder that
// shows a QMessageBox; tests install a scripted one that records and answers.
// While a box is open, modalDepth() > 0: the dispatcher and the reply time-out
// do not run, and receive events are held back until the box is closed.
#include <QString>
#include <functional>

enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MsgRequest {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

using MsgResponder = std::function<MsgAnswer(const MsgRequest&)>;

void setMsgResponder(MsgResponder r);
MsgAnswer MsgBox(const QString& text, MsgButtons buttons = MsgButtons::Ok, const QString& title = {},
                 MsgIcon icon = MsgIcon::None);
int modalDepth();
// Called once whenever the last open box closes.
void onModalClosed(std::function<void()> f);
