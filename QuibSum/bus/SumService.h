#pragma once
// SumService: the running application on the session bus, the way in for other programs and
// for later `quibsum` commands. It owns the instance's well-known name, so that only one
// process per session holds the sheets, and exports the interface org.quibsum.QuibSum1:
//
//   Show()                      bring the window to the front
//   Hide()                      hide it
//   Toggle()                    hide it when it is in front, else bring it to the front
//   ShowWith(a{sv} platform_data), ToggleWith(a{sv} platform_data)
//                               the same, with the caller's desktop data: "activation-token"
//                               (s) lets a Wayland window come forward
//   AppendText(s text) -> s     add text as new lines of the quick sheet, show it there; the
//                               quick sheet's whole text
//   AppendTextBefore(s text, x deadline) -> s
//                               the same, unless the call is handled after `deadline`
//                               (milliseconds since 1970 UTC), when its caller has stopped
//                               waiting and told its user that nothing was added: then it
//                               adds nothing and answers the "expired" error
//   AppendSelectionWith(a{sv} platform_data) -> s
//                               show the window (with the caller's activation token), read
//                               the primary selection, else the clipboard, once it has the
//                               keyboard, and append it as AppendText does; the "no
//                               selection" error when there is none
//   Calculate(s expr) -> s      one expression on its own, after a short chance for due rates
//                               to arrive; its display text
//
// Failures are error replies whose message is meant for a person (SumBusAddress names them).
// The window, the sheets and the engine come in as hooks, so the service runs without them
// in tests. Main thread only.

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <chrono>
#include <functional>
#include <string>
#include <variant>

#include "QuibSum/common/QuickCalculator.h"
#include "QuibSumCore/Clock.h"

namespace quibsum {

class SumService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quibsum.QuibSum1")
public:
    // The longest text AppendText takes, in UTF-8 bytes: a sheet's own limit.
    static constexpr qsizetype maxTextBytes = 64 * 1024 * 1024;
    // The longest expression Calculate takes, in UTF-16 units: far beyond any formula a person
    // writes, and short enough that evaluating it never holds the window up.
    static constexpr qsizetype maxExpressionLength = 100000;
    // How long Calculate lets a due rate refresh run before it evaluates.
    static constexpr std::chrono::milliseconds defaultCalculationDelay{250};

    struct Hooks {
        std::function<void()> show;
        std::function<void()> hide;
        std::function<void()> toggle;
        // Takes the caller's activation token, for the next time the window comes forward.
        std::function<void(const QString& token)> useActivationToken;
        // Appends to the quick sheet, shows it and returns its whole text. Throws
        // std::exception, whose what() the caller is told.
        std::function<QString(const QString& text)> appendText;
        // Shows the window and calls back once with the selected or copied text it can read,
        // empty when there is none.
        std::function<void(std::function<void(const QString& text)>)> readSelection;
        // Starts what an evaluation should wait for: an unforced rate refresh.
        std::function<void()> prepareCalculation;
        std::function<std::variant<std::string, QuickCalculator::Failure>(const std::string& expression)> calculate;
    };

    enum class Registration {
        registered,
        nameTaken,  // another process serves the name
        failed,     // the bus refused the object or the name for another reason
    };

    explicit SumService(QObject* parent = nullptr);
    ~SumService() override;

    // Until set, every method answers with the "unavailable" error.
    void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }
    void setCalculationDelay(std::chrono::milliseconds delay) { calculationDelay_ = delay; }
    // The wall clock AppendTextBefore compares deadlines with; it must outlive the service.
    void setClock(const Clock& clock) { clock_ = &clock; }

    // Exports the object, then claims `serviceName` without queueing: a name held by a live
    // process is left to it, and a dead process's name is already gone (the bus releases it
    // with the connection). On anything but `registered` nothing stays registered.
    Registration registerOn(QDBusConnection bus, const QString& serviceName);
    // Why the last registerOn failed, for a warning.
    const QString& registrationError() const { return registrationError_; }

public slots:
    void Show();
    void Hide();
    void Toggle();
    void ShowWith(const QVariantMap& platformData);
    void ToggleWith(const QVariantMap& platformData);
    QString AppendText(const QString& text);
    QString AppendTextBefore(const QString& text, qlonglong deadline);
    QString AppendSelectionWith(const QVariantMap& platformData);
    QString Calculate(const QString& expression);

private:
    // Answers the caller with an error (a direct call, outside the bus, is only warned of).
    void fail(const char* name, const QString& message);
    void unregister();
    void takeActivationToken(const QVariantMap& platformData);

    Hooks hooks_;
    const Clock* clock_ = &Clock::system();
    std::chrono::milliseconds calculationDelay_ = defaultCalculationDelay;
    QDBusConnection bus_{QString()};
    QString serviceName_;
    QString registrationError_;
};

}  // namespace quibsum
