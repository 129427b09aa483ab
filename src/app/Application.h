#pragma once

#include <QApplication>

#include <functional>
#include <type_traits>

// The application-wide error report: an error that escapes an event handler is shown in an error
// box, and the event loop goes on.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};

// Runs an event handler, showing any error it raises in an error box.
void Guard(const std::function<void()> &handler);

// A handler for connect() that runs inside Guard. The handler takes all of the signal's
// arguments or none.
template <class F> auto Guarded(F handler)
{
    return [handler](auto &&...args) {
        Guard([&] {
            if constexpr (std::is_invocable_v<const F &, decltype(args)...>)
                handler(args...);
            else
                handler();
        });
    };
}
