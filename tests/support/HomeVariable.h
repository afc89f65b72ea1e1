#pragma once

#include <QByteArray>
#include <QString>

// Sets (or, given nothing, clears) LEDVIEW_HOME for one scope and puts the old
// value back, so a developer's own setting never steers a test.
class HomeVariable {
public:
    explicit HomeVariable(const QString& value = {}) { set(value.toLocal8Bit()); }
    ~HomeVariable() { set(m_old); }
    HomeVariable(const HomeVariable&) = delete;
    HomeVariable& operator=(const HomeVariable&) = delete;

private:
    static void set(const QByteArray& value)
    {
        value.isEmpty() ? qunsetenv("LEDVIEW_HOME") : qputenv("LEDVIEW_HOME", value);
    }
    const QByteArray m_old = qgetenv("LEDVIEW_HOME");
};
