// LIKE with the desktop engine's wildcards, the pattern compiled once a statement.
#include "platform/SqlFunctions.h"

#include "platform/LikePattern.h"

#include <QList>
#include <QString>

#include <string>

namespace SqlDialect {
namespace {

// A compiled LIKE pattern kept for the rest of the statement; the source is
// compared on every row because SQLite keeps it only while the argument is constant.
struct CompiledLike {
    std::string source;
    std::string escape;
    LikePattern pattern;
};

void deleteCompiledLike(void* compiled)
{
    delete static_cast<CompiledLike*>(compiled);
}

// The engine's pattern for one written with an escape character: each escaped
// character becomes a pattern that matches exactly that character.
QString unescapePattern(const QString& pattern, char32_t escape)
{
    const QList<uint> chars = pattern.toUcs4();
    QString result;
    result.reserve(pattern.size());
    for (qsizetype i = 0; i < chars.size(); ++i) {
        char32_t c = chars[i];
        if (c == escape && i + 1 < chars.size())
            c = chars[++i];
        else if (c != escape) {
            result += QString::fromUcs4(&c, 1);
            continue;
        }
        result += LikePattern::escape(QString::fromUcs4(&c, 1));
    }
    return result;
}

void like(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    TextArg pattern;
    TextArg text;
    if (!pattern.read(argv[0]) || !text.read(argv[1])) {
        sqlite3_result_null(context);
        return;
    }
    TextArg escape;
    if (argc > 2) {
        if (!escape.read(argv[2])) {
            sqlite3_result_null(context);
            return;
        }
        if (countChars(escape.data, escape.size) != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
    }
    auto* cached = static_cast<CompiledLike*>(sqlite3_get_auxdata(context, 0));
    if (cached && cached->source == pattern.view() && cached->escape == escape.view()) {
        sqlite3_result_int(context, cached->pattern.matchesUtf8(text.data, text.size) ? 1 : 0);
        return;
    }
    QString source = QString::fromUtf8(pattern.data, pattern.size);
    if (argc > 2)
        source = unescapePattern(source, QString::fromUtf8(escape.data, escape.size).toUcs4().value(0));
    auto* compiled = new CompiledLike{std::string(pattern.view()), std::string(escape.view()), LikePattern(source)};
    sqlite3_result_int(context, compiled->pattern.matchesUtf8(text.data, text.size) ? 1 : 0);
    // SQLite may free the pattern at once, so it is handed over only after use.
    sqlite3_set_auxdata(context, 0, compiled, deleteCompiledLike);
}

constexpr Function kFunctions[] = {
    {"like", 2, like},
    {"like", 3, like},
};

} // namespace

std::span<const Function> likeFunctions()
{
    return kFunctions;
}

} // namespace SqlDialect
