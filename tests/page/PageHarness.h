// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QVariant>

#include <memory>

// The settings page in a window of its own, handed a plug-in object, with helpers to find its
// items and to drive it with mouse and keyboard as an operator would.
class PageHarness
{
public:
    // Shows cam-01..12 in groups of four: grp-lobby, grp-parking, grp-yard.
    explicit PageHarness(QObject* plugin);

    // Empty when the page loaded and its window is shown; otherwise what went wrong.
    QString error() const { return m_error; }
    QQuickView* view() const { return m_view.get(); }
    QQuickItem* page() const { return m_view->rootObject(); }
    // The page's item with that objectName, or null.
    QQuickItem* item(const QString& objectName) const;
    QVariant property(const char* name) const { return page()->property(name); }
    // Calls one of the page's functions that take no arguments.
    QVariant call(const char* function) const;
    // Every item drawn in the window, the open popups' included, in tree order.
    QList<QQuickItem*> visualItems() const;

    void click(QQuickItem* item) const;
    // Puts the keyboard focus on `item` as Tab would, selects its text and types `text`.
    void retype(QQuickItem* item, const QString& text) const;
    // Types Latin-1 text into whatever has the keyboard focus.
    void type(const QString& text) const;
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;

private:
    QQmlEngine m_engine;
    std::unique_ptr<QQuickView> m_view;
    QString m_error;
};
