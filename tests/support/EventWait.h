#pragma once

// Waits for the program against the simulated unit. QTest's waits (QTRY_*, qWaitFor) pass
// over the event loop once and then sleep 10 ms; a request and its reply need several passes
// (the port's write, the unit's read, its reply, the port's read), so the link would crawl at
// a fraction of its pace and a test would measure the sleeps. These run the event loop itself
// and look at the condition after every event.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

template <typename Predicate> [[nodiscard]] bool waitUntil(Predicate done, int timeoutMs = 5000) {
    if (done()) return true;
    const QDeadlineTimer deadline(timeoutMs, Qt::PreciseTimer);
    QTimer expiry; // wakes the loop when nothing else happens until the deadline
    expiry.setSingleShot(true);
    expiry.start(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

#define KOVR_TRY_VERIFY_WITH_TIMEOUT(expr, timeout)                                                \
    QVERIFY2(waitUntil([&] { return bool(expr); }, timeout), "timed out waiting for " #expr)
#define KOVR_TRY_VERIFY(expr) KOVR_TRY_VERIFY_WITH_TIMEOUT(expr, 5000)
#define KOVR_TRY_COMPARE_WITH_TIMEOUT(expr, expected, timeout)                                     \
    do {                                                                                           \
        (void)waitUntil([&] { return (expr) == (expected); }, timeout);                            \
        QCOMPARE(expr, expected);                                                                  \
    } while (false)
#define KOVR_TRY_COMPARE(expr, expected) KOVR_TRY_COMPARE_WITH_TIMEOUT(expr, expected, 5000)
