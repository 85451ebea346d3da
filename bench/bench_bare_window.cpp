// SPDX-License-Identifier: BSD-3-Clause
// The floor of a page screenshot: a Qt Quick window with one control of the page's Controls style
// (Fusion), set up as the viewer sets up its window, that saves its first frame and exits.
//
//   bench_bare_window FILE

#include <QGuiApplication>
#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QQuickView>
#include <QQuickWindow>
#include <QTimer>

namespace {

const QByteArray Document = "import QtQuick.Controls\n"
                            "Page { CheckBox { text: \"Camera\" } }\n";

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    const QString path = app.arguments().at(1);
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    QQuickView view;
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    QObject::connect(
        &view, &QQuickWindow::frameSwapped, &app,
        [&view, &path] {
            // Once: the grab renders another frame.
            QObject::disconnect(&view, &QQuickWindow::frameSwapped, nullptr, nullptr);
            QTimer::singleShot(0, &view, [&view, &path] {
                QCoreApplication::exit(view.grabWindow().save(path) ? 0 : 1);
            });
        },
        Qt::QueuedConnection);
    // The view owns the component and the page, as in the viewer.
    auto* component = new QQmlComponent(view.engine(), &view);
    component->setData(Document, QUrl());
    QObject* page = component->isReady() ? component->create() : nullptr;
    if (!page)
        return 1;
    view.setContent(QUrl(), component, page);
    view.resize(1120, 780);
    view.show();
    return app.exec();
}
