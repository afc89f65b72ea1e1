#include "program/SuiteFolderDialog.h"
#include "app/SuiteFolder.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/HomeVariable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A first start: nothing names a suite, the program's folder holds none and
// nothing is remembered, so the real folder chooser comes up.
class SuiteFolderDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(suite()) && QDir().mkpath(bare()));
        QFile global(suite() + "/global.mdb");
        ASSERT_TRUE(global.open(QIODevice::WriteOnly));
    }

    QString suite() const { return dir.filePath("suite"); }
    QString bare() const { return dir.filePath("bare"); }

    // Each time the chooser is up, types the next folder and presses Enter; with
    // no folder left it cancels.
    void answerWith(const QStringList& folders)
    {
        answers = folders;
        QObject::connect(&answerer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<SuiteFolderDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ++shown;
            auto* edit = answers.isEmpty() ? nullptr : control<QLineEdit>(dialog, "fileNameEdit");
            if (!edit)
                return dialog->reject();
            // Typed into the focused field, as a clerk would: without focus the
            // dialog writes its list's selection over the text.
            dialog->activateWindow();
            if (!QTest::qWaitForWindowActive(dialog))
                ADD_FAILURE() << "the folder chooser never became active";
            QTest::mouseClick(edit, Qt::LeftButton);
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, answers.takeFirst());
            QTest::keyClick(edit, Qt::Key_Return);
        });
        answerer.start(20);
    }

    QString resolve()
    {
        QSettings settings(dir.filePath("ledview.conf"), QSettings::IniFormat);
        return SuiteFolderDialog::resolve({}, bare(), settings, messenger);
    }

    HomeVariable noHome;
    QTemporaryDir dir;
    FakeMessenger messenger;
    QTimer answerer;
    QStringList answers;
    int shown = 0;
};

TEST_F(SuiteFolderDialogTest, AcceptsOnlyAFolderHoldingGlobalMdbAndRemembersIt)
{
    // Giving up leaves no folder and remembers nothing.
    answerWith({});
    EXPECT_TRUE(resolve().isEmpty());
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(SuiteFolder::remembered(QSettings(dir.filePath("ledview.conf"), QSettings::IniFormat)).isEmpty());
    answers = {bare(), suite()};
    EXPECT_EQ(resolve(), suite());
    ASSERT_EQ(messenger.messages.size(), 1) << messenger.texts().join("|").toStdString();
    EXPECT_EQ(messenger.messages[0].title, "TRY AGAIN");
    EXPECT_TRUE(messenger.messages[0].text.contains(QDir::toNativeSeparators(bare())))
        << messenger.messages[0].text.toStdString();
    EXPECT_TRUE(messenger.messages[0].text.contains("global.mdb"));

    // The next start opens the remembered folder without asking.
    const int askedBefore = shown;
    EXPECT_EQ(resolve(), suite());
    EXPECT_EQ(shown, askedBefore);
}

} // namespace
