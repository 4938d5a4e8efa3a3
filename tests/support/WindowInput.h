#pragma once

#include "DDCWinApi.h"

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtQml/QQmlApplicationEngine>
#include <QtQuick/QQuickItem>
#include <QtQuick/QQuickWindow>
#include <QtTest/QtTest>

#include <algorithm>
#include <cmath>
#include <utility>

// Finding the window's items and moving them with the mouse, as a user does.
namespace WindowInput {

inline void collectItems(QQuickItem *parent, const char *type, QList<QQuickItem *> &items)
{
    for (QQuickItem *item : parent->childItems()) {
        if (item->inherits(type) || QByteArray(item->metaObject()->className()).startsWith(type))
            items.append(item);
        collectItems(item, type, items);
    }
}

// The items of one QML component or Qt Quick type on screen, left to right,
// then top to bottom.
inline QList<QQuickItem *> itemsOf(QQuickWindow *window, const char *type)
{
    QList<QQuickItem *> items;
    collectItems(window->contentItem(), type, items);
    std::sort(items.begin(), items.end(), [](QQuickItem *left, QQuickItem *right) {
        const QPointF l = left->mapToScene({});
        const QPointF r = right->mapToScene({});
        return std::pair(l.x(), l.y()) < std::pair(r.x(), r.y());
    });
    return items;
}

// Drags a dial along its circle from one fraction of its travel to another,
// a twentieth of the travel a step.
inline void dragDial(QQuickWindow *window, QQuickItem *dial, qreal from, qreal to)
{
    const QPointF centre = dial->mapToScene({dial->width() / 2, dial->height() / 2});
    const qreal radius = dial->width() / 3;
    const auto pointAt = [&](qreal position) {
        const qreal angle = 4 * M_PI / 3 - position * 5 * M_PI / 3;
        return (centre + QPointF(radius * std::cos(angle), -radius * std::sin(angle))).toPoint();
    };
    const int steps = int(std::lround(std::abs(to - from) * 20));
    QTest::mousePress(window, Qt::LeftButton, {}, pointAt(from));
    for (int step = 1; step <= steps; ++step)
        QTest::mouseMove(window, pointAt(from + (to - from) * step / steps));
    QTest::mouseRelease(window, Qt::LeftButton, {}, pointAt(to));
}

// The program's window over the program's backend, as start-up shows it;
// null (with the test failed) when it could not be shown.
inline QQuickWindow *showProgramWindow(QQmlApplicationEngine &engine)
{
    DDCWinApi::instance()->init();
    qmlRegisterSingletonInstance<DDCApi>("DDC", 1, 0, "DDCApi", DDCWinApi::instance());
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
#endif
    engine.load(QUrl(QStringLiteral("qrc:/qt/qml/Varno/Main.qml")));
    auto *window = engine.rootObjects().size() == 1
        ? qobject_cast<QQuickWindow *>(engine.rootObjects().first())
        : nullptr;
    if (!window || !QTest::qWaitForWindowExposed(window)) {
        QTest::qFail("the window could not be shown", __FILE__, __LINE__);
        return nullptr;
    }
    return window;
}

} // namespace WindowInput
