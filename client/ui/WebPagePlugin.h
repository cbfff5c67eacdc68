#pragma once
// The interface between the table and its browser plugin (client/web). The plugin makes a
// browser widget and reports how each navigation ended.
#include <functional>
#include <QtPlugin>

class QString;
class QWidget;

class WebPagePlugin {
public:
    virtual ~WebPagePlugin() = default;
    // A browser widget, child of parent, hidden. finished(true) when a document has loaded
    // completely, finished(false) when a navigation failed; always from the event loop.
    virtual QWidget* CreateBrowser(QWidget* parent, std::function<void(bool ok)> finished) = 0;
    virtual void Navigate(QWidget* browser, const QString& address) = 0;
};

#define QuellorWebPagePlugin_iid "org.quellor.WebPagePlugin/1"
Q_DECLARE_INTERFACE(WebPagePlugin, QuellorWebPagePlugin_iid)
