#pragma once

#include <QString>

// What became of an operation that can fail: nothing (ok) or the text for the
// operator, the engine's own code and the file concerned. The texts of the usual
// faults are built here, so every caller words them alike.
class Outcome {
public:
    Outcome() = default;
    static Outcome failure(const QString& message, const QString& file = {}, int nativeCode = 0);

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const QString& message() const { return m_message; }
    int nativeCode() const { return m_nativeCode; }
    const QString& file() const { return m_file; }

    // "<subject> <file> cannot be opened: <reason>" and its kin; `subject` names the
    // file for the operator ("The billing database", "The work database").
    static Outcome cannotOpen(const QString& subject, const QString& file, const Outcome& reason);
    static Outcome cannotCreate(const QString& subject, const QString& file, const Outcome& reason);
    static Outcome cannotAttach(const QString& subject, const QString& file, const Outcome& reason);
    static Outcome cannotRead(const QString& subject, const QString& file, const Outcome& reason);
    static Outcome cannotWrite(const QString& subject, const QString& file, const Outcome& reason);
    // "<subject> <file> cannot be found!"
    static Outcome notFound(const QString& subject, const QString& file);
    // "<what> <subject> <file>: <reason>", for an operation that failed inside a file
    // ("The account list cannot be built from the billing database").
    static Outcome failedIn(const QString& what, const QString& subject, const QString& file, const Outcome& reason);
    // The same reason told with another text (the code and file are kept).
    Outcome retold(const QString& message) const;

private:
    static Outcome cannotBe(const QString& verb, const QString& subject, const QString& file, const Outcome& reason);

    bool m_failed = false;
    QString m_message;
    QString m_file;
    int m_nativeCode = 0;
};

namespace FaultText {
inline const QString BillingDatabase = QStringLiteral("The billing database");
inline const QString WorkDatabase = QStringLiteral("The work database");
inline const QString ConfigurationDatabase = QStringLiteral("The suite's configuration database");
inline const QString YourDatabase = QStringLiteral("Your database");
} // namespace FaultText
