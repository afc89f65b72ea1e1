#pragma once

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
