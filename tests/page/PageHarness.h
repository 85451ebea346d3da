#pragma once

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QVariant>

#include <memory>

// The settings page in a window of its own, handed a plug-in object (the fake or the real one),
// with helpers to find its items and to drive it with mouse and keyboard as an operator would.
class PageHarness
{
public:
    // Shows twelve cameras in three groups: cam-01..04 lobby, cam-05..08 parking, cam-09..12
    // yard.
    explicit PageHarness(QObject* plugin);

    // Empty when the page loaded and its window is shown; otherwise what went wrong.
    QString error() const { return m_error; }
    QQuickView* view() const { return m_view.get(); }
    QQuickItem* page() const;
    // The page's item with that objectName, or null.
    QQuickItem* item(const QString& objectName) const;
    QVariant property(const char* name) const;
    QVariant call(const char* function, const QVariantList& arguments = {}) const;
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
