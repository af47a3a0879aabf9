#include "base/msgbox.h"

#include <vector>

namespace {
MsgResponder& responder()
{
    static MsgResponder r = [](const MsgRequest& q) {
        return q.buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    };
    return r;
}
int depth = 0;
std::vector<std::function<void()>>& closedHooks()
{
    static std::vector<std::function<void()>> v;
    return v;
}
} // namespace

void setMsgResponder(MsgResponder r) { responder() = std::move(r); }
int modalDepth() { return depth; }
void onModalClosed(std::function<void()> f) { closedHooks().push_back(std::move(f)); }

MsgAnswer MsgBox(const QString& text, MsgButtons buttons, const QString& title, MsgIcon icon)
{
    ++depth;
    struct Down {
        ~Down()
        {
            if (--depth == 0)
                for (auto& f : closedHooks())
                    f();
        }
    } down;
    return responder()(MsgRequest{text, title, icon, buttons});
}
