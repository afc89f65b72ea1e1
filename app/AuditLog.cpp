#include "app/AuditLog.h"

#include "platform/PostgresUri.h"

#include "app/HistoryModule.h"
#include "platform/SqlConnection.h"
#include "app/SuiteFolder.h"
#include "app/SuiteTextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString configFile = QStringLiteral("ledviewaudit.ini");
const QString auditFolder = QStringLiteral("AUDIT");

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The AUDIT folder as it exists (any case), else the name to create.
QString auditFolderPath(const QString& programFolder)
{
    const QDir root(programFolder);
    const QStringList entries = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(auditFolder, Qt::CaseInsensitive) == 0)
            return root.filePath(entry);
    }
    return root.filePath(auditFolder);
}

} // namespace

AuditSettings AuditSettings::forModule(const HistoryModule& module)
{
    AuditSettings settings;
    settings.ProgramFolder = module.ProgramFolder;
    // A server's database is named as its file would be, so the audit file's name
    // follows the same rule.
    if (const std::optional<PostgresUri> server = PostgresUri::parse(module.BillingDbPath))
        settings.AuditName = server->database + QStringLiteral(".mdb");
    else if (!module.BillingDbPath.isEmpty())
        settings.AuditName = QFileInfo(module.BillingDbPath).fileName();
    settings.AuditUser = module.UserId;
    const QList<QByteArray> lines =
        SuiteTextFile::lines(SuiteTextFile::readNamed(module.ProgramFolder, configFile).value_or(QByteArray()));
    const QString on = QString::fromUtf8(lines.value(0)).trimmed();
    settings.AuditToTable = on == QLatin1String("-1") || on == QLatin1String("1");
    settings.AuditDbPath = QString::fromUtf8(lines.value(1)).trimmed();
    if (settings.AuditDbPath.isEmpty())
        settings.AuditDbPath = module.BillingDbPath;
    return settings;
}

AuditLog::AuditLog(AuditSettings settings, Clock clock) : m_settings(std::move(settings))
{
    setClock(std::move(clock));
}

void AuditLog::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); });
}

QString AuditLog::timeStamp(const QDateTime& when)
{
    const QDate day = when.date();
    const QTime time = when.time();
    const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QString::number(day.year()).rightJustified(4, QLatin1Char('0')) + twoDigits(day.month())
        + twoDigits(day.day()) + QLatin1Char(' ') + twoDigits(hour) + QLatin1Char(':') + twoDigits(time.minute())
        + (time.hour() < 12 ? QStringLiteral(" AM ") : QStringLiteral(" PM "));
}

QString AuditLog::logFilePath(const QDate& day) const
{
    const QString stem = m_settings.AuditName.left(std::max<qsizetype>(0, m_settings.AuditName.size() - 4));
    const QString name = stem + QString::number(day.year()) + twoDigits(day.month()) + QStringLiteral(".LOG");
    return SuiteFolder::pathFor(auditFolderPath(m_settings.ProgramFolder), name);
}

Outcome AuditLog::WriteAudit(const QString& text)
{
    if (text.isEmpty() || m_settings.AuditName.isEmpty())
        return {};
    const QDateTime now = m_clock();
    const QString stamp = timeStamp(now);
    Outcome written = appendLine(stamp + m_settings.AuditUser + QLatin1Char(' ') + text, now.date());
    if (m_settings.AuditToTable) {
        // The row is tried even when the file failed; both reasons are told.
        const Outcome inserted = insertRow(stamp, text);
        if (!inserted)
            written = written ? inserted : written.retold(written.message() + QLatin1Char('\n') + inserted.message());
    }
    return written;
}

Outcome AuditLog::appendLine(const QString& line, const QDate& day)
{
    const QString folder = auditFolderPath(m_settings.ProgramFolder);
    if (!QDir().mkpath(folder))
        return Outcome::failure(
            QStringLiteral("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folder)), folder);
    QFile file(logFilePath(day));
    const auto failed = [&file] {
        return Outcome::failure(
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file.fileName()), file.errorString()),
            file.fileName());
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return failed();
    const QByteArray bytes = line.toUtf8() + "\r\n";
    if (file.write(bytes) != bytes.size() || !file.flush())
        return failed();
    return {};
}

Outcome AuditLog::insertRow(const QString& stamp, const QString& text)
{
    SqlConnection db = SqlConnection::open(m_settings.AuditDbPath);
    // "When" is a keyword of the engine's SQL, so the column is quoted.
    if (db.isOpen()
        && db.exec(QStringLiteral("insert into LIDB (\"when\", ByWhom, What) values (?, ?, ?)"),
                   {stamp, m_settings.AuditUser, text}))
        return {};
    return db.outcome().retold(
        QStringLiteral("LIDB in %1: %2").arg(QDir::toNativeSeparators(m_settings.AuditDbPath), db.outcome().message()));
}
