// The Qt headers nearly every test includes, precompiled once per test folder in the fast build
// (tests/CMakeLists.txt). A test still includes what it uses itself: the plain build compiles
// it without this file.
#pragma once

#include <QtCore/QtCore>
#include <QtTest/QtTest>

#ifdef QT_SERIALPORT_LIB
#include <QtSerialPort/QtSerialPort>
#endif
#ifdef QT_WIDGETS_LIB
#include <QtWidgets/QtWidgets>
#endif
