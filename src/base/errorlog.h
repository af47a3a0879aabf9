#pragma once
// Run-time error trap: every event handler runs its body through trap(), which
// catches, appends one line to the error log and ends the handler.
#include <QString>
#include <stdexcept>
#include <utility>

inline constexpr const char* ERROR_LOG_FILE = "ORV9000ErrorLog.ini";
inline constexpr const char* UPGRADE_LOG_FILE = "KQSystem.ini";

struct RuntimeError : std::runtime_error {
    explicit RuntimeError(const QString& what) : std::runtime_error(what.toStdString()) {}
    explicit RuntimeError(const char* what) : std::runtime_error(what) {}
};

// Ends a procedure that has already told the user why (a message box): the
// trap swallows it without a log line.
struct Abandoned {};

// Appends "time","信息","description","tag","application" to the log file.
void WriteErrorLog(const QString& description, const QString& tag, const QString& file = ERROR_LOG_FILE);

// Runs f(); a thrown exception is logged with the tag and swallowed.
// Returns false when f threw.
template <class F>
bool trap(const QString& tag, F&& f)
{
    try {
        std::forward<F>(f)();
        return true;
    } catch (const Abandoned&) {
    } catch (const std::exception& e) {
        WriteErrorLog(QString::fromStdString(e.what()), tag);
    } catch (...) {
        WriteErrorLog(QStringLiteral("unknown error"), tag);
    }
    return false;
}
