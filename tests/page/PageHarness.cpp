// SPDX-License-Identifier: BSD-3-Clause

#include "PageHarness.h"

#include <QQmlComponent>
#include <QQmlError>
#include <QtTest>

PageHarness::PageHarness(QObject* plugin)
{
    QVariantList cameras;
    const QStringList groups {QStringLiteral("grp-lobby"), QStringLiteral("grp-parking"),
                              QStringLiteral("grp-yard")};
    for (int i = 1; i <= 12; ++i) {
        cameras.append(QVariantMap {
            {QStringLiteral("id"), QStringLiteral("cam-%1").arg(i, 2, 10, QLatin1Char('0'))},
            {QStringLiteral("group"), groups.at((i - 1) / 4)},
            {QStringLiteral("name"), QStringLiteral("Camera %1").arg(i)}});
    }
    // The module from the build tree's QML folder, as a host's engine imports it.
    m_engine.addImportPath(QStringLiteral(SCHEDULE_BACKUP_QML_DIR));
    m_view = std::make_unique<QQuickView>(&m_engine, nullptr);
    m_view->setResizeMode(QQuickView::SizeRootObjectToView);
    auto* component = new QQmlComponent(&m_engine, m_view.get());
    component->setData("import ScheduleBackup.Page\nSchedulePage {}\n", QUrl());
    QObject* created = component->isReady() ? component->createWithInitialProperties(
                           {{QStringLiteral("scheduleBackup"), QVariant::fromValue(plugin)},
                            {QStringLiteral("cameraInventory"), cameras}})
                                            : nullptr;
    m_view->setContent(QUrl(), component, created);
    if (m_view->status() != QQuickView::Ready || !m_view->rootObject()) {
        for (const QQmlError& error : m_view->errors())
            m_error += error.toString() + QLatin1Char('\n');
        if (m_error.isEmpty())
            m_error = QStringLiteral("the page did not load");
        return;
    }
    m_view->resize(1120, 900);
    m_view->show();
    m_view->requestActivate();
    if (!QTest::qWaitForWindowActive(m_view.get()))
        m_error = QStringLiteral("the window did not become active");
}

QQuickItem* PageHarness::item(const QString& objectName) const
{
    if (auto* found = page()->findChild<QQuickItem*>(objectName))
        return found;
    // Popups put their items under the window's overlay, and views make their rows, outside
    // the page's object tree.
    for (QQuickItem* item : visualItems()) {
        if (item->objectName() == objectName)
            return item;
    }
    return nullptr;
}

QVariant PageHarness::call(const char* function) const
{
    QVariant result;
    QMetaObject::invokeMethod(page(), function, Q_RETURN_ARG(QVariant, result));
    return result;
}

QList<QQuickItem*> PageHarness::visualItems() const
{
    QList<QQuickItem*> items;
    QList<QQuickItem*> pending {m_view->contentItem()};
    while (!pending.isEmpty()) {
        QQuickItem* item = pending.takeFirst();
        items.append(item);
        pending = item->childItems() + pending;
    }
    return items;
}

void PageHarness::click(QQuickItem* item) const
{
    // Layouts place what just became visible when the next frame is made.
    m_view->grabWindow();
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(m_view.get(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
}

void PageHarness::retype(QQuickItem* item, const QString& text) const
{
    item->forceActiveFocus(Qt::TabFocusReason);
    QTest::keySequence(m_view.get(), QKeySequence::SelectAll);
    if (text.isEmpty())
        QTest::keyClick(m_view.get(), Qt::Key_Delete);
    else
        type(text);
}

void PageHarness::type(const QString& text) const
{
    // QTest types whole strings into widgets only; a window gets one key at a time.
    for (const QChar c : text)
        QTest::keyClick(m_view.get(), c.toLatin1());
}

void PageHarness::key(Qt::Key key, Qt::KeyboardModifiers modifiers) const
{
    QTest::keyClick(m_view.get(), key, modifiers);
}
