// The Qt headers most tests include, precompiled once per test folder in the fast build
// (tests/CMakeLists.txt). Only those: a whole module's header makes a precompiled header that
// costs more to load than it saves. A test still includes what it uses itself, since the plain
// build compiles it without this file.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QObject>
#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#ifdef QT_WIDGETS_LIB
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QWidget>
#endif
