#include "platform/Outcome.h"

Outcome Outcome::failure(const QString& message, const QString& file, int nativeCode)
{
    Outcome outcome;
    outcome.m_failed = true;
    outcome.m_message = message;
    outcome.m_file = file;
    outcome.m_nativeCode = nativeCode;
    return outcome;
}

Outcome Outcome::retold(const QString& message) const
{
    return failure(message, m_file, m_nativeCode);
}

Outcome Outcome::cannotBe(const QString& verb, const QString& subject, const QString& file, const Outcome& reason)
{
    return failure(subject + QLatin1Char(' ') + file + QStringLiteral(" cannot be ") + verb + QStringLiteral(": ")
                       + reason.message(),
                   file, reason.nativeCode());
}

Outcome Outcome::cannotOpen(const QString& subject, const QString& file, const Outcome& reason)
{
    return cannotBe(QStringLiteral("opened"), subject, file, reason);
}

Outcome Outcome::cannotCreate(const QString& subject, const QString& file, const Outcome& reason)
{
    return cannotBe(QStringLiteral("created"), subject, file, reason);
}

Outcome Outcome::cannotAttach(const QString& subject, const QString& file, const Outcome& reason)
{
    return cannotBe(QStringLiteral("attached"), subject, file, reason);
}

Outcome Outcome::cannotRead(const QString& subject, const QString& file, const Outcome& reason)
{
    return cannotBe(QStringLiteral("read"), subject, file, reason);
}

Outcome Outcome::cannotWrite(const QString& subject, const QString& file, const Outcome& reason)
{
    return cannotBe(QStringLiteral("written"), subject, file, reason);
}

Outcome Outcome::notFound(const QString& subject, const QString& file)
{
    return failure(subject + QLatin1Char(' ') + file + QStringLiteral(" cannot be found!"), file);
}

Outcome Outcome::failedIn(const QString& what, const QString& subject, const QString& file, const Outcome& reason)
{
    return failure(
        what + QLatin1Char(' ') + subject + QLatin1Char(' ') + file + QStringLiteral(": ") + reason.message(), file,
        reason.nativeCode());
}
