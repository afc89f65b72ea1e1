#include "program/SuiteFolderDialog.h"
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
TEST(SuiteFolderDialog, AcceptsOnlyAFolderHoldingGlobalMdbAndRemembersIt)
{
    HomeVariable noHome;
    QTemporaryDir dir;
    const QString suite = dir.filePath("suite"), bare = dir.filePath("bare");
    ASSERT_TRUE(QDir().mkpath(suite) && QDir().mkpath(bare));
    ASSERT_TRUE(QFile(suite + "/global.mdb").open(QIODevice::WriteOnly));
    QStringList answers;
    int shown = 0;
    // Each time the chooser is up, types the next folder and presses Enter; with
    // no folder left it cancels.
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
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
    FakeMessenger messenger;
    const auto resolve = [&] {
        QSettings settings(dir.filePath("ledview.conf"), QSettings::IniFormat);
        return SuiteFolderDialog::resolve({}, bare, settings, messenger);
    };
    EXPECT_TRUE(resolve().isEmpty());
    EXPECT_EQ(shown, 1);
    answers = {bare, suite};
    EXPECT_EQ(resolve(), suite);
    ASSERT_EQ(messenger.messages.size(), 1) << messenger.texts().join("|").toStdString();
    EXPECT_TRUE(messenger.messages[0].text.contains(QDir::toNativeSeparators(bare)));
    // The next start opens the remembered folder without asking.
    const int askedBefore = shown;
    EXPECT_EQ(resolve(), suite);
    EXPECT_EQ(shown, askedBefore);
}

} // namespace
