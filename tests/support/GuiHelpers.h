#pragma once

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

// The control of that objectName below `root`; fails the test when it is missing.
template <typename T>
T* control(QWidget* root, const char* name)
{
    T* found = root->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
}

// Every model the window's views show, checked by Qt's model tester for as long as
// the model lives: a broken signal or index ends the test run there.
inline void checkModels(QWidget* window)
{
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
        QAbstractItemModel* model = view->model();
        if (!model || model->property("ledviewTested").toBool())
            continue;
        model->setProperty("ledviewTested", true);
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Fatal, model);
    }
}

// Runs `operate` on the window of type T that the next action opens modally, once
// it is up, as the operator would; closes it afterwards if it is still open.
template <typename T, typename Operate>
void operateNextModal(Operate operate)
{
    QTimer::singleShot(0, [operate] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window) {
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className();
            return;
        }
        QApplication::processEvents();
        operate(*window);
        if (window->isVisible())
            window->reject();
    });
}
