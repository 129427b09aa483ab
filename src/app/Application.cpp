#include "Application.h"

#include "platform/UserDialogs.h"

#include <exception>

namespace {

void Report(const char *text)
{
    Dialogs().ShowMessage(TMessageKind::Error, text);
}

} // namespace

void Guard(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        Report(error.what());
    }
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        Report(error.what());
    }
    return false;
}
