#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Sets (or, given nothing, clears) LEDVIEW_HOME for one scope and puts the old
// value back, so a developer's own setting never steers a test.
class HomeVariable {
public:
    explicit HomeVariable(const QString& value = {})
        : m_old(qEnvironmentVariableIsSet("LEDVIEW_HOME") ? std::optional(qgetenv("LEDVIEW_HOME")) : std::nullopt)
    {
        if (value.isEmpty())
            qunsetenv("LEDVIEW_HOME");
        else
            qputenv("LEDVIEW_HOME", value.toLocal8Bit());
    }
    ~HomeVariable()
    {
        if (m_old)
            qputenv("LEDVIEW_HOME", *m_old);
        else
            qunsetenv("LEDVIEW_HOME");
    }
    HomeVariable(const HomeVariable&) = delete;
    HomeVariable& operator=(const HomeVariable&) = delete;

private:
    std::optional<QByteArray> m_old;
};
