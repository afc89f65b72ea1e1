#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

// poppler's command-line tools, to look inside a written PDF the way a reader would.
namespace PdfTools {

inline bool available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

inline QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// -1 when pdfinfo cannot read the file.
inline int pageCount(const QString& path)
{
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(run(QStringLiteral("pdfinfo"), {path}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The text of pages first..last (1-based), laid out as on the page.
inline QString text(const QString& path, int first = 1, int last = 0)
{
    QStringList arguments{QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(first)};
    if (last > 0)
        arguments << QStringLiteral("-l") << QString::number(last);
    arguments << path << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), arguments);
}

// Each word of pages first..last with the top of its box, in points from the page's top.
inline QList<std::pair<QString, double>> wordTops(const QString& path)
{
    const QRegularExpression word(QStringLiteral("<word xMin=\"[^\"]*\" yMin=\"([^\"]*)\"[^>]*>([^<]*)</word>"));
    QList<std::pair<QString, double>> words;
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    for (auto match = word.globalMatch(html); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        words.append({found.captured(2), found.captured(1).toDouble()});
    }
    return words;
}

// pdffonts' table of the fonts the file uses.
inline QString fonts(const QString& path)
{
    return run(QStringLiteral("pdffonts"), {path});
}

} // namespace PdfTools
