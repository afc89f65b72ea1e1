#include "app/SuiteFolder.h"
#include "app/SuiteTextFile.h"
#include "support/HomeVariable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(SuiteFolder, IsNamedElseBesideTheProgramElseRememberedWhileItHoldsASuite)
{
    QTemporaryDir dir;
    const QString suite = dir.filePath("suite"), other = dir.filePath("other"), bare = dir.filePath("bare");
    for (const QString& folder : {suite, other, bare})
        ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& folder : {suite, other}) {
        QFile global(folder + (folder == other ? "/GLOBAL.MDB" : "/global.mdb"));
        ASSERT_TRUE(global.open(QIODevice::WriteOnly));
    }
    using Source = SuiteFolder::Source;
    // clang-format off
    struct Case { const char* name; QString home, environment, executable, remembered; QString folder; Source source; } cases[] = {
        {"--home first", suite, other, other, other, suite, Source::Named},
        {"then the variable", {}, other, suite, suite, other, Source::Named},
        {"named without a suite still named", bare, {}, suite, suite, bare, Source::Named},
        {"the program's folder with a suite", {}, {}, other, suite, other, Source::Executable},
        {"the program's folder without one", {}, {}, bare, suite, suite, Source::Remembered},
        {"remembered folder gone bare", {}, {}, bare, bare, {}, Source::None},
        {"nothing", {}, {}, bare, {}, {}, Source::None},
    };
    // clang-format on
    for (const Case& c : cases) {
        HomeVariable variable(c.environment);
        const SuiteFolder::Located located = SuiteFolder::locate(c.home, c.executable, c.remembered);
        EXPECT_EQ(located.source, c.source) << c.name;
        EXPECT_EQ(located.folder, c.folder) << c.name;
    }
}

// Every settings file is read through these lines: what a final line end, a CR and
// a blank line give decides whether a value is absent or empty.
TEST(SuiteTextFile, LinesEndAtCrLfOrLfAndAFinalEndOpensNoLine)
{
    // clang-format off
    const struct { QByteArray contents; QList<QByteArray> lines; } cases[] = {
        {"", {}}, {"\r\n", {""}}, {"a\r\nb\r\n", {"a", "b"}}, {"a\nb", {"a", "b"}}, {"a\r\n\r\n", {"a", ""}},
        {"a\r\r\nb", {"a\r", "b"}},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(SuiteTextFile::lines(c.contents), c.lines) << c.contents.toStdString();
}

} // namespace
