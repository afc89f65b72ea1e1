#include "platform/PostgresUri.h"

#include <QUrl>

namespace {

QString decoded(QStringView part)
{
    return QUrl::fromPercentEncoding(part.toUtf8());
}

bool fail(QString* problem, const QString& text)
{
    if (problem)
        *problem = text;
    return false;
}

// host, or [v6 address], optionally followed by :port
bool readHostAndPort(QStringView text, PostgresUri& uri, QString* problem)
{
    QStringView host = text;
    QStringView port;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return fail(problem, QStringLiteral("the host's address has no closing ]"));
        host = text.sliced(1, close - 1);
        const QStringView rest = text.sliced(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))
            return fail(problem, QStringLiteral("unexpected text after the host's address"));
        port = rest.isEmpty() ? QStringView() : rest.sliced(1);
    } else if (const qsizetype colon = text.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        host = text.first(colon);
        port = text.sliced(colon + 1);
    }
    uri.host = decoded(host);
    if (!port.isEmpty()) {
        bool ok = false;
        uri.port = port.toInt(&ok);
        if (!ok || uri.port <= 0 || uri.port > 65535)
            return fail(problem, QStringLiteral("the port %1 is not a port number").arg(port.toString()));
    }
    return true;
}

} // namespace

bool PostgresUri::isUri(const QString& text)
{
    const QString trimmed = text.trimmed();
    return trimmed.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || trimmed.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

std::optional<PostgresUri> PostgresUri::parse(const QString& text, QString* problem)
{
    const QString trimmed = text.trimmed();
    if (!isUri(trimmed)) {
        fail(problem, QStringLiteral("it does not begin with postgresql://"));
        return std::nullopt;
    }
    QStringView rest = QStringView(trimmed).sliced(trimmed.indexOf(QLatin1String("://")) + 3);
    PostgresUri uri;
    QStringView query;
    if (const qsizetype mark = rest.indexOf(QLatin1Char('?')); mark >= 0) {
        query = rest.sliced(mark + 1);
        rest = rest.first(mark);
    }
    QStringView path;
    if (const qsizetype slash = rest.indexOf(QLatin1Char('/')); slash >= 0) {
        path = rest.sliced(slash + 1);
        rest = rest.first(slash);
    }
    if (const qsizetype at = rest.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QStringView credentials = rest.first(at);
        rest = rest.sliced(at + 1);
        const qsizetype colon = credentials.indexOf(QLatin1Char(':'));
        uri.user = decoded(colon < 0 ? credentials : credentials.first(colon));
        if (colon >= 0)
            uri.password = decoded(credentials.sliced(colon + 1));
    }
    if (!readHostAndPort(rest, uri, problem))
        return std::nullopt;
    uri.database = decoded(path);
    if (uri.database.isEmpty()) {
        fail(problem, QStringLiteral("it names no database (postgresql://host/dbname)"));
        return std::nullopt;
    }
    for (QStringView pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            fail(problem, QStringLiteral("the option %1 has no value").arg(pair.toString()));
            return std::nullopt;
        }
        const QString key = decoded(pair.first(equals));
        const QString value = decoded(pair.sliced(equals + 1));
        // libpq's own spellings of the parts may come as options too.
        if (key == QLatin1String("host"))
            uri.host = value;
        else if (key == QLatin1String("user"))
            uri.user = value;
        else if (key == QLatin1String("password"))
            uri.password = value;
        else if (key == QLatin1String("dbname"))
            uri.database = value;
        else if (key == QLatin1String("port")) {
            if (!readHostAndPort(QStringLiteral(":") + value, uri, problem))
                return std::nullopt;
        } else
            uri.options.append({key, value});
    }
    return uri;
}

QString PostgresUri::shown() const
{
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += user + QLatin1Char('@');
    // A socket folder is written encoded, as libpq reads it back.
    text += host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']')
                                            : QString::fromUtf8(QUrl::toPercentEncoding(host));
    if (port > 0)
        text += QLatin1Char(':') + QString::number(port);
    return text + QLatin1Char('/') + database;
}

QString PostgresUri::shown(const QString& text)
{
    const std::optional<PostgresUri> uri = parse(text);
    return uri ? uri->shown() : (isUri(text) ? QStringLiteral("postgresql://…") : text);
}
