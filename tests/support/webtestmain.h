#pragma once

#include "gui/webhost/webpartshost.h"
#include "web/engineenvironment.h"

#include <QApplication>
#include <QTest>

// A test of the web parts starts the web engine in the mode the program
// uses, with the program's own settings: drawn in software and with the
// player's switches (see prepareBeforeApplication and
// RufflePlayer::initializeBeforeEngine).
#define QORVEL_WEB_TEST_MAIN(TestObject, ...)                                                      \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        prepareBeforeApplication();                                                                \
        __VA_ARGS__;                                                                               \
        QApplication app(argc, argv);                                                              \
        TestObject test;                                                                           \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
