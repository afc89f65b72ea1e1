#pragma once

#include "journal/JournalFixture.h"
#include "journal/widgets/frmHistory.h"
#include "support/FakeMessenger.h"
#include "support/GuiHelpers.h"
#include "support/RecordingNavigator.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

// The journal window on the fixture's account, driven as the operator does.
class JournalWindowFixture : public JournalFixture {
protected:
    frmHistory& open(Messenger* speaker = nullptr)
    {
        window = std::make_unique<frmHistory>(module, speaker ? *speaker : messenger, *navigator);
        checkModels(window.get());
        window->Form_Load();
        window->show();
        QApplication::processEvents();
        return *window;
    }

    void click(const char* button) { QTest::mouseClick(control<QPushButton>(window.get(), button), Qt::LeftButton); }
    QString caption(const char* button) { return control<QPushButton>(window.get(), button)->text(); }
    QStringList descriptions() { return column(window->journal().rows(), &JournalRow::descr); }

    FakeMessenger messenger;
    RecordingNavigator recorder;
    Navigator* navigator = &recorder;
    std::unique_ptr<frmHistory> window;
};
