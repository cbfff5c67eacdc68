#pragma once
// The table's embedded web page `WebBrowser1` as a small layer: navigate, place, show, and two
// events, document-complete and navigate-error. The real page is Qt WebEngine, built as a
// plugin beside the program and loaded on the first navigation only, so a table that never
// shows a page never carries the browser engine; without the plugin the page stays hidden.
#include <functional>
#include <memory>
#include <QRect>
#include <QString>

class QWidget;

class WebPageView {
public:
    virtual ~WebPageView() = default;

    virtual void Navigate(const QString& address) = 0;
    virtual void SetGeometry(const QRect& rect) = 0;
    virtual QRect Geometry() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    // In front of its sibling controls.
    virtual void Raise() = 0;

    // Raised by the layer, always from the event loop, never from inside Navigate.
    std::function<void()> DocumentComplete;
    std::function<void()> NavigateError;
};

namespace WebPage {

// File name of the browser plugin in the program directory.
inline constexpr char PluginFileName[] = "libquellor-web.so";

// The real layer: the page lives in a child widget of parent, made by the plugin at pluginPath
// when the first address is navigated.
std::unique_ptr<WebPageView> MakePluginView(QWidget* parent, const QString& pluginPath);

// The factory the table window uses for its page; by default the plugin layer with the plugin
// from the program directory. Tests install a double.
using Factory = std::function<std::unique_ptr<WebPageView>(QWidget* parent)>;
std::unique_ptr<WebPageView> MakeView(QWidget* parent);
void SetFactory(Factory factory);

// Whether the browser engine is in this process (loaded by a navigation).
bool EngineLoaded();

// The browser's own sandbox cannot run for the root user; it is switched off then, and only
// then. Must run before the first page is shown; the program runs it first thing.
void PrepareEnvironment();

}  // namespace WebPage
