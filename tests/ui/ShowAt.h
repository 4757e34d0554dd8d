#pragma once
// One step of the window tests: a window shown at a size of the test's.

#include <QWidget>
#include <QtTest>

namespace vantor::test {

/// Resizes w, shows it and waits until the window system has exposed it;
/// false when it was not exposed in time (no display).
inline bool ShowAt(QWidget& w, int width, int height) {
    w.resize(width, height);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

}  // namespace vantor::test
